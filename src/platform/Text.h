// Text helpers that follow Windows rules: ASCII-only case folding (as the "C"
// locale does) and FindFirstFile-style wildcards.
#pragma once

#include <string>
#include <vector>

namespace pw {

std::string AsciiLower(std::string text);
std::string AsciiUpper(std::string text);
bool EqualsNoCase(const std::string& a, const std::string& b);
// Orders names as the registry enumerates subkeys (checked under Wine): by
// lower-cased characters, so "[", "_" and the other characters between 'Z' and
// 'a' come before the letters; a name that is a prefix of another first.
bool RegistryNameLess(const std::string& a, const std::string& b);
// The non-empty parts of a path split at `separators` (registry paths split
// at backslashes only; file paths at either slash).
std::vector<std::string> SplitPath(const std::string& path, const char* separators);
// Like the C library's atoi: leading white space, an optional sign, digits;
// no digits gives 0, and an overflowing number saturates.
int AtoiLike(const std::string& text);
// '*' matches any run of characters, '?' any one; letter case is ignored.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// The program's 8-bit text in a client's UTF-16 store: every byte becomes the
// code unit of the same value; no code page applies.
std::u16string WidenBytes(const std::string& text);
// A client's UTF-16 text as the program keeps text inside: UTF-8. False for a
// lone surrogate, which no character is.
bool Utf8FromUtf16(const std::u16string& text, std::string* utf8);
// Two bytes a code unit, low byte first.
std::string Utf16LeBytes(const std::u16string& text);
// False for an odd number of bytes: that is no UTF-16 text.
bool ReadUtf16Le(const std::string& bytes, std::u16string* text);

}  // namespace pw
