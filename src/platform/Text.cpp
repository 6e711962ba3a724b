#include "platform/Text.h"

#include <climits>

namespace pw {

namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string AsciiLower(std::string text) {
  for (char& c : text) c = Lower(c);
  return text;
}

std::string AsciiUpper(std::string text) {
  for (char& c : text) c = Upper(c);
  return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

bool RegistryNameLess(const std::string& a, const std::string& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char ca = static_cast<unsigned char>(Lower(a[i]));
    const unsigned char cb = static_cast<unsigned char>(Lower(b[i]));
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

std::vector<std::string> SplitPath(const std::string& path, const char* separators) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (std::string(separators).find(c) != std::string::npos) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

int AtoiLike(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // Iterative matching with one backtrack point for the last '*'.
  size_t p = 0, n = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Upper(pattern[p]) == Upper(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::u16string WidenBytes(const std::string& text) {
  std::u16string wide;
  for (char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

bool Utf8FromUtf16(const std::u16string& text, std::string* utf8) {
  utf8->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned long code = text[i];
    if (code >= 0xDC00 && code <= 0xDFFF) return false;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (code < 0x80) {
      *utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      *utf8 += static_cast<char>(0xC0 | code >> 6);
      *utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      *utf8 += static_cast<char>(0xE0 | code >> 12);
      *utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
      *utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      *utf8 += static_cast<char>(0xF0 | code >> 18);
      *utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
      *utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
      *utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return true;
}

std::string Utf16LeBytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

bool ReadUtf16Le(const std::string& bytes, std::u16string* text) {
  if (bytes.size() % 2 != 0) return false;
  text->clear();
  for (size_t i = 0; i < bytes.size(); i += 2)
    *text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                   static_cast<unsigned char>(bytes[i + 1]) << 8);
  return true;
}

}  // namespace pw
