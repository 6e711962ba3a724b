#include "platform/Text.h"

#include <algorithm>
#include <climits>

namespace pw {

namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr char32_t kReplacement = 0xFFFD;


// One character from text[*i], moving *i past it. False for a byte that
// starts no well-formed sequence (overlong forms, surrogates and values past
// U+10FFFF included): *i then moves past that one byte.
bool DecodeUtf8(const std::string& text, size_t* i, char32_t* c) {
  const unsigned char lead = static_cast<unsigned char>(text[*i]);
  size_t length = 0;
  char32_t value = 0, least = 0;
  if (lead < 0x80) {
    *c = lead;
    ++*i;
    return true;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, least = 0x10000;
  }
  bool ok = length > 0 && *i + length <= text.size();
  for (size_t k = 1; ok && k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[*i + k]);
    ok = (next & 0xC0) == 0x80;
    value = (value << 6) | (next & 0x3F);
  }
  ok = ok && value >= least && value <= 0x10FFFF && !IsHighSurrogate(value) && !IsLowSurrogate(value);
  if (!ok) {
    *c = kReplacement;
    ++*i;
    return false;
  }
  *c = value;
  *i += length;
  return true;
}

std::u32string CodePoints(const std::string& text) {
  std::u32string points;
  points.reserve(text.size());
  size_t i = 0;
  char32_t c = 0;
  while (i < text.size()) {
    DecodeUtf8(text, &i, &c);
    points += c;
  }
  return points;
}

char32_t UpperCase(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c < 0xB5) return c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A pairs its letters: upper case first, lower case second,
    // the pairs starting on an even code point except in two runs.
    const bool odd_pairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    const bool unpaired = c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F;
    if (unpaired) return c;
    if (odd_pairs) return (c % 2 == 0) ? c - 1 : c;
    return (c % 2 == 1) ? c - 1 : c;
  }
  if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB)) return c - 0x20;
  switch (c) {
    case 0x3C2: return 0x3A3;  // final sigma
    case 0x3AC: return 0x386;
    case 0x3AD: return 0x388;
    case 0x3AE: return 0x389;
    case 0x3AF: return 0x38A;
    case 0x3CC: return 0x38C;
    case 0x3CD: return 0x38E;
    case 0x3CE: return 0x38F;
    default: break;
  }
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

}  // namespace

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(char32_t c, std::u16string* out) {
  if (c < 0x10000) {
    *out += static_cast<char16_t>(c);
    return;
  }
  c -= 0x10000;
  *out += static_cast<char16_t>(0xD800 + (c >> 10));
  *out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

uint64_t LittleEndianNumber(std::string_view bytes, size_t size) {
  uint64_t number = 0;
  for (size_t i = std::min(bytes.size(), size); i > 0; --i)
    number = (number << 8) | static_cast<unsigned char>(bytes[i - 1]);
  return number;
}

std::string HexBytes(std::string_view bytes, std::string_view separator) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : bytes) {
    if (!hex.empty()) hex += separator;
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return hex;
}

std::string AsciiLower(std::string text) {
  for (char& c : text) c = Lower(c);
  return text;
}

std::string AsciiUpper(std::string text) {
  for (char& c : text) c = Upper(c);
  return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return UpperCaseText(a) == UpperCaseText(b); }

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

std::string JoinPath(const std::vector<std::string>& parts, size_t count) {
  std::string path;
  for (size_t i = 0; i < count; ++i) path += (i ? "\\" : "") + parts[i];
  return path;
}

std::string FilePathIdentity(const std::string& path) {
  const std::vector<std::string> parts = SplitPath(path, "\\/");
  return UpperCaseText(JoinPath(parts, parts.size()));
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

bool WildcardMatch(const std::string& pattern_text, const std::string& name_text) {
  // Windows matches UTF-16 names: '?' stands for one code unit, so a
  // character beyond the BMP takes two.
  const std::u16string pattern = Utf8ToUtf16(UpperCaseText(pattern_text));
  const std::u16string name = Utf8ToUtf16(UpperCaseText(name_text));
  // Iterative matching with one backtrack point for the last '*'.
  size_t p = 0, n = 0, star = std::u16string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      resume = n;
    } else if (star != std::u16string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (char32_t c : CodePoints(text)) AppendUtf16(c, &wide);
  return wide;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = CombineSurrogates(c, text[++i]);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      c = kReplacement;
    }
    AppendUtf8(c, &narrow);
  }
  return narrow;
}

bool IsValidUtf8(const std::string& text) {
  size_t i = 0;
  char32_t c = 0;
  while (i < text.size())
    if (!DecodeUtf8(text, &i, &c)) return false;
  return true;
}

std::string UpperCaseText(const std::string& text) {
  // Plain ASCII, by far the most common, needs no decoding.
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return AsciiUpper(text);
  std::string upper;
  upper.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t start = i;
    char32_t c = 0;
    // A byte that is no UTF-8 is kept as it is: it has no case.
    if (!DecodeUtf8(text, &i, &c)) {
      upper += text[start];
      continue;
    }
    AppendUtf8(UpperCase(c), &upper);
  }
  return upper;
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
