// Text helpers that follow Windows rules: case folding, FindFirstFile-style
// wildcards, and the conversions between the program's UTF-8 and UTF-16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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
// The first `count` of `parts` joined with backslashes.
std::string JoinPath(const std::vector<std::string>& parts, size_t count);
// How Windows tells two file paths apart: either slash, doubled and trailing
// separators and letter case aside.
std::string FilePathIdentity(const std::string& path);
// Like the C library's atoi: leading white space, an optional sign, digits;
// no digits gives 0, and an overflowing number saturates.
int AtoiLike(const std::string& text);
// '*' matches any run of characters, '?' any one; letter case is ignored.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// The program's text is UTF-8; the clients' wide stores and the wide API
// take UTF-16. A character beyond the BMP is a surrogate pair there. A byte
// sequence that is no UTF-8 becomes U+FFFD, one for each byte, and a lone
// surrogate becomes U+FFFD the other way, as Windows converts them.
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);
bool IsValidUtf8(const std::string& text);
// Two bytes a code unit, low byte first.
std::string Utf16LeBytes(const std::u16string& text);
// False for an odd number of bytes: that is no UTF-16 text.
bool ReadUtf16Le(const std::string& bytes, std::u16string* text);

// UTF-16's surrogates: a high one followed by a low one is one character
// beyond the BMP.
constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr char32_t CombineSurrogates(char32_t high, char32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}
// Appends the character `c` (a Unicode scalar value) as UTF-8, or as UTF-16
// (a pair of surrogates beyond the BMP).
void AppendUtf8(char32_t c, std::string* text);
void AppendUtf16(char32_t c, std::u16string* text);

// The value of a hexadecimal digit (either letter case); -1 for any other character.
constexpr int HexDigitValue(char32_t c) {
  return c >= '0' && c <= '9' ? static_cast<int>(c - '0')
         : c >= 'a' && c <= 'f' ? static_cast<int>(c - 'a' + 10)
         : c >= 'A' && c <= 'F' ? static_cast<int>(c - 'A' + 10)
                                : -1;
}

bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
// The UTF-8 byte-order mark some editors put before a text file's first line.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// The first `size` bytes (at most 8) as a little-endian number.
uint64_t LittleEndianNumber(std::string_view bytes, size_t size);

// Each byte as two lower-case hexadecimal digits, `separator` between bytes.
std::string HexBytes(std::string_view bytes, std::string_view separator = {});

// The text without the characters of `blanks` at either end.
template <typename Char>
std::basic_string_view<Char> Trimmed(std::basic_string_view<Char> text, std::basic_string_view<Char> blanks) {
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::basic_string_view<Char>::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Upper case as Windows compares names that ignore case: ASCII, Latin-1,
// Latin Extended-A, Greek and Cyrillic letters; every other character,
// Hebrew included, has no case and stays as it is.
std::string UpperCaseText(const std::string& text);

}  // namespace pw
