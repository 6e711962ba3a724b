#include "platform/Text.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using std::string_literals::operator""s;

// UTF-8 to UTF-16 and back; what is no UTF-8 becomes U+FFFD, one for each
// byte, and a lone surrogate one U+FFFD.
TEST(Text, Utf8AndUtf16) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } kRoundTrips[] = {
      {"", u""},
      {"Jo\0x"s, u"Jo\0x"s},
      {"\xC3\xA9", u"\u00E9"},
      {"\xD7\x93\xD6\xBC", u"\u05D3\u05BC"},
      {"\xEF\xBF\xBF", u"\uFFFF"},
      {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
      {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
  };
  for (const auto& c : kRoundTrips) {
    EXPECT_EQ(c.utf16, Utf8ToUtf16(c.utf8)) << c.utf8;
    EXPECT_EQ(c.utf8, Utf16ToUtf8(c.utf16)) << c.utf8;
    EXPECT_TRUE(IsValidUtf8(c.utf8)) << c.utf8;
  }
  const struct {
    std::string bytes;
    std::u16string read;
  } kNotUtf8[] = {
      {"J\xF6rg", u"J\uFFFDrg"},               // a code-page byte
      {"\xC0\xAF", u"\uFFFD\uFFFD"},           // an overlong "/"
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"a\xE2\x82", u"a\uFFFD\uFFFD"},          // cut short
  };
  for (const auto& c : kNotUtf8) {
    EXPECT_EQ(c.read, Utf8ToUtf16(c.bytes)) << c.bytes;
    EXPECT_FALSE(IsValidUtf8(c.bytes)) << c.bytes;
  }
  EXPECT_EQ("a\xEF\xBF\xBD" "b\xEF\xBF\xBD", Utf16ToUtf8(u"a\xD800" u"b\xDC00"));
}

// Names compare as Windows compares them: case ignored beyond ASCII, and
// '?' stands for one UTF-16 unit, however many bytes it takes in UTF-8.
TEST(Text, CaseAndWildcardsBeyondAscii) {
  EXPECT_TRUE(EqualsNoCase("J\xC3\xB6rg", "J\xC3\x96RG"));                 // o/O with diaeresis
  EXPECT_TRUE(EqualsNoCase("\xD0\xB4\xD0\xB0", "\xD0\x94\xD0\x90"));        // Cyrillic
  EXPECT_TRUE(EqualsNoCase("\xCE\xB1\xCF\x82", "\xCE\x91\xCE\xA3"));        // Greek, final sigma
  EXPECT_TRUE(EqualsNoCase("\xC5\x82\xC4\x85", "\xC5\x81\xC4\x84"));        // Latin Extended-A
  EXPECT_FALSE(EqualsNoCase("\xD7\x93", "\xD7\x94"));                        // Hebrew has no case
  EXPECT_FALSE(EqualsNoCase("\xC3\xA9", "e"));
  EXPECT_TRUE(WildcardMatch("account?.oeaccount", "account\xD7\x93.oeaccount"));
  EXPECT_TRUE(WildcardMatch("\xC3\x89*", "\xC3\xA9t\xC3\xA9"));
  // Beyond the BMP a character is two units of UTF-16, and two '?'.
  EXPECT_TRUE(WildcardMatch("??", "\xF0\x9F\x98\x80"));
  EXPECT_FALSE(WildcardMatch("?", "\xF0\x9F\x98\x80"));
}

}  // namespace
}  // namespace pw
