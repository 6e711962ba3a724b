#include <gtest/gtest.h>

#include "clients/files/SettingsLines.h"

namespace pw {
namespace {

std::u16string Widened(const std::string& text) { return std::u16string(text.begin(), text.end()); }

TEST(SettingsLines, LinesEndAtCrLfLfOrALoneCrAndJoinWithCrLf) {
  using Lines = std::vector<std::string>;
  const struct {
    const char* text;
    Lines lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},  // a last line without its line end counts
      {"a\rb\r", {"a", "b"}},
      {"a\n\r\nb\n", {"a", "", "b"}},  // empty lines stay
      {"a\rb\nc\r\r\n", {"a", "b", "c", ""}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two line ends
      {"  a \t\r\n", {"  a \t"}},
      {"\r\n", {""}},
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    EXPECT_EQ(c.lines, SplitLines(std::string(c.text)));
    // The same for the 16-bit code units of a UTF-16 file.
    std::vector<std::u16string> wide;
    for (const std::string& line : c.lines) wide.push_back(Widened(line));
    EXPECT_TRUE(wide == SplitLines(Widened(c.text)));
  }
  EXPECT_EQ("a\r\n\r\nb\r\n", JoinLines(Lines{"a", "", "b"}));
  EXPECT_EQ("", JoinLines(Lines{}));
  EXPECT_TRUE(u"a\r\nb\r\n" == JoinLines(std::vector<std::u16string>{u"a", u"b"}));
}

}  // namespace
}  // namespace pw
