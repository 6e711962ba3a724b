// The preference reader takes a string's text in runs between escapes; these
// cases put the escapes where a run starts, ends or is empty, and read lines
// that are views into a larger buffer.
#include "clients/files/PrefLine.h"

#include <gtest/gtest.h>

#include <string_view>

namespace pw {
namespace {

TEST(PrefLine, StringsAreReadInRunsBetweenEscapes) {
  const struct {
    const char* line;
    const char* value;  // null when the line sets no preference
  } cases[] = {
      {R"(user_pref("n", "");)", ""},
      {R"(user_pref("n", "\\");)", "\\"},
      {R"(user_pref("n", "\"abc");)", "\"abc"},
      {R"(user_pref("n", "abc\"");)", "abc\""},
      {R"(user_pref("n", "a\\\\b\"\"c");)", "a\\\\b\"\"c"},
      {R"(user_pref("n", 'say "hi"');)", "say \"hi\""},
      {R"(user_pref("n", "it's");)", "it's"},
      {R"(user_pref("n", "x\");)", nullptr},   // the escaped quote does not end the string
      {R"(user_pref("n", "x\)", nullptr},      // an escape at the end of the line
      {R"(user_pref("n", 'x");)", nullptr},    // the other quote does not end it either
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Pref pref;
    ASSERT_EQ(c.value != nullptr, ReadPrefLine(c.line, &pref));
    if (!c.value) continue;
    EXPECT_EQ("n", pref.name);
    EXPECT_TRUE(pref.is_text);
    EXPECT_EQ(c.value, pref.value);
  }
}

TEST(PrefLine, AReusedPrefHoldsOnlyTheLastLinesNameAndValue) {
  Pref pref;
  ASSERT_TRUE(ReadPrefLine(R"(user_pref("mail.identity.id1.fullName", "A rather long display name");)", &pref));
  ASSERT_TRUE(ReadPrefLine(R"(user_pref("b", "c");)", &pref));
  EXPECT_EQ("b", pref.name);
  EXPECT_EQ("c", pref.value);
  ASSERT_TRUE(ReadPrefLine(R"(user_pref("d", 12);)", &pref));
  EXPECT_FALSE(pref.is_text);
  EXPECT_EQ("12", pref.value);
}

// A line is a view of the file's bytes: nothing after its end may count.
TEST(PrefLine, NothingBeyondTheLinesEndIsRead) {
  const std::string_view buffer = R"(user_pref("n", "value");user_pref("m", 1);)";
  const size_t first_line = buffer.find(';') + 1;
  Pref pref;
  ASSERT_TRUE(ReadPrefLine(buffer.substr(0, first_line), &pref));
  EXPECT_EQ("value", pref.value);
  for (size_t cut : {first_line - 1, first_line - 3, first_line - 4, size_t{19}, size_t{17}}) {
    SCOPED_TRACE(cut);
    EXPECT_FALSE(ReadPrefLine(buffer.substr(0, cut), &pref));
  }
  ASSERT_TRUE(ReadPrefLine(buffer.substr(first_line), &pref));
  EXPECT_FALSE(ReadPrefLine(buffer.substr(first_line, 17), &pref)) << "user_pref(\"m\", 1) without its ;";
}

}  // namespace
}  // namespace pw
