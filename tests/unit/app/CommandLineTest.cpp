#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "platform/Text.h"

namespace pw {
namespace {

TEST(CommandLine, FlagsAreFoundAtTheStartOfAnyWord) {
  EXPECT_TRUE(HasFlag("-d", "-d"));
  EXPECT_TRUE(HasFlag("-n \"Jo\" -d", "-d"));
  EXPECT_TRUE(HasFlag("-automatic -p \"x\"", "-auto"));  // a longer word still sets the flag
  EXPECT_TRUE(HasFlag("-n \"Jo -dx\"", "-d"));            // substring search reaches into values
  EXPECT_FALSE(HasFlag("x-d", "-d"));
  EXPECT_FALSE(HasFlag("-D", "-d"));  // case-sensitive
  EXPECT_FALSE(HasFlag("", "-d"));
}

TEST(CommandLine, ValuesRunToTheNextBlankHyphen) {
  EXPECT_EQ("jdoe", ExtractValue("-a jdoe -d", "-a", false));
  EXPECT_EQ("jdoe", ExtractValue("-n \"Jo\" -a jdoe", "-a", false));
  EXPECT_EQ("j-doe", ExtractValue("-a j-doe", "-a", false));
  EXPECT_EQ("j", ExtractValue("-a j -doe", "-a", false));
  EXPECT_EQ("", ExtractValue("-a  -d", "-a", false));  // empty value, cut at once
  EXPECT_EQ(std::nullopt, ExtractValue("-a", "-a", false));       // a key needs its blank
  EXPECT_EQ(std::nullopt, ExtractValue("-ab x", "-a", false));
  EXPECT_EQ(std::nullopt, ExtractValue("", "-c", false));
}

TEST(CommandLine, QuotedValuesLoseTheirQuotesOnlyWhenTheyHaveThem) {
  EXPECT_EQ("Jo Doe", ExtractValue("-n \"Jo Doe\" -c 1", "-n", true));
  EXPECT_EQ("Jo", ExtractValue("-n Jo -c 1", "-n", true));              // bare word keeps its letters
  EXPECT_EQ("Ann -Lee", ExtractValue("-n \"Ann -Lee\" -c 1", "-n", true));  // quotes protect " -"
  EXPECT_EQ("", ExtractValue("-n \"\" -c 1", "-n", true));
  EXPECT_EQ("\"Ann", ExtractValue("-n \"Ann -c 1", "-n", true));  // unterminated: cut, nothing removed
  EXPECT_EQ("\"Jo\"", ExtractValue("-a \"Jo\"", "-a", false));    // -a and -c keep quotes
}

TEST(CommandLine, AtoiLikeFollowsTheCLibrary) {
  EXPECT_EQ(1, AtoiLike("1"));
  EXPECT_EQ(7, AtoiLike("  7x"));
  EXPECT_EQ(-3, AtoiLike("-3"));
  EXPECT_EQ(4, AtoiLike("+4"));
  EXPECT_EQ(0, AtoiLike("abc"));
  EXPECT_EQ(0, AtoiLike(""));
  EXPECT_EQ(0, AtoiLike("- 3"));
  EXPECT_EQ(2147483647, AtoiLike("99999999999999999999"));
  EXPECT_EQ(-2147483647 - 1, AtoiLike("-99999999999999999999"));
}

TEST(CommandLine, TrailingBlanksAreRemovedButNotTabs) {
  EXPECT_EQ("-a x", TrimTrailingBlanks("-a x   "));
  EXPECT_EQ("-a x\t", TrimTrailingBlanks("-a x\t "));
  EXPECT_EQ("", TrimTrailingBlanks("    "));
}

TEST(CommandLine, ExplicitRunTakesEveryValue) {
  const CommandLineRequest r = ParseCommandLine("-n \"Jo Doe\" -c 1 -a jdoe");
  EXPECT_EQ(RunMode::kExplicit, r.run.mode);
  EXPECT_EQ("", r.missing_option);
  EXPECT_EQ("Jo Doe", r.run.display_name);
  EXPECT_EQ("jdoe", r.run.user_name);
  EXPECT_EQ(1, r.run.client);
  EXPECT_FALSE(r.run.make_default);
  EXPECT_FALSE(r.run.overwrite);

  const CommandLineRequest flags = ParseCommandLine("-d -u -x -n \"Jo\" -c 4 -a jdoe   ");
  EXPECT_TRUE(flags.run.make_default);
  EXPECT_TRUE(flags.run.overwrite);
  EXPECT_FALSE(flags.run.close_running);  // -x belongs to automatic mode
  EXPECT_EQ("jdoe", flags.run.user_name);  // trailing blanks are not part of the value
  EXPECT_EQ(4, flags.run.client);

  EXPECT_EQ(7, ParseCommandLine("-n \"Jo Doe\" -c 7 -a jdoe").run.client);  // not rejected here
  EXPECT_EQ(0, ParseCommandLine("-n \"Jo\" -c x -a jdoe").run.client);
}

TEST(CommandLine, ExplicitRunReportsTheFirstMissingOption) {
  EXPECT_EQ("-n", ParseCommandLine("-c 1 -a jdoe").missing_option);
  EXPECT_EQ("-c", ParseCommandLine("-n \"Jo\"").missing_option);
  EXPECT_EQ("-a", ParseCommandLine("-n \"Jo\" -c 1").missing_option);
  EXPECT_EQ("-n", ParseCommandLine("stray").missing_option);
}

// A user name that cannot make an address is refused with the reason; the
// first refused character names it.
TEST(CommandLine, UserNamesThatCannotMakeAnAddressAreRefused) {
  const struct {
    const char* arguments;
    const char* refusal;
  } kCases[] = {
      {"-a  -d", "the user name given with -a is empty."},
      {"-a jo@doe", "the user name given with -a holds \"@\"."},
      {"-a ..\\Accounts\\x", "the user name given with -a holds a backslash."},
      {"-a jo/doe", "the user name given with -a holds a slash."},
      {"-a \"jo\"", "the user name given with -a holds a double quote."},
      {"-a jo doe", "the user name given with -a holds a blank."},
      {"-a jo\tdoe", "the user name given with -a holds a control character."},
      {"-a jo\x7f", "the user name given with -a holds a control character."},
      {"-a jdoe", ""},
      {"-a j.doe-1_x+tag", ""},
      {"-a j\xf6rg", ""},  // a letter of the ANSI code page is text
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.refusal, ParseCommandLine(std::string("-n \"Jo\" -c 0 ") + c.arguments).refusal) << c.arguments;
}

TEST(CommandLine, AutomaticRun) {
  const CommandLineRequest r = ParseCommandLine("-auto -p \"QS \" -s \"jo@x.example\" -u -x");
  EXPECT_EQ(RunMode::kAutomatic, r.run.mode);
  EXPECT_EQ("", r.missing_option);
  EXPECT_EQ("QS ", r.run.prefix);
  EXPECT_EQ("jo@x.example", r.run.search_address);
  EXPECT_TRUE(r.run.overwrite);
  EXPECT_TRUE(r.run.close_running);
  EXPECT_FALSE(r.run.make_default);

  EXPECT_EQ(std::nullopt, ParseCommandLine("-auto -p \"QS\"").run.search_address);
  EXPECT_EQ("-p", ParseCommandLine("-auto").missing_option);
  EXPECT_EQ("-p", ParseCommandLine("-auto -n \"Jo\" -c 1 -a jdoe").missing_option);
}

// The prefix goes in front of an address in key names: a backslash would nest
// keys, a control character would break the account's name.
TEST(CommandLine, PrefixesThatCannotNameAnAccountAreRefused) {
  const struct {
    const char* arguments;
    const char* refusal;
  } kCases[] = {
      {"-p \"QS\\\"", "the prefix given with -p holds a backslash."},
      {"-p \"..\\Accounts\\\" -u", "the prefix given with -p holds a backslash."},
      {"-p \"Q\tS\"", "the prefix given with -p holds a control character."},
      {"-p \"QS\x7f\" -s \"jo\"", "the prefix given with -p holds a control character."},
      {"-p \"QS \"", ""},
      {"-p \"\"", ""},  // no prefix: the account is named by its address alone
      {"-p \"Q/S@\\\"\"", "the prefix given with -p holds a backslash."},
      {"-p \"Q/S@\"", ""},
  };
  for (const auto& c : kCases) {
    const CommandLineRequest r = ParseCommandLine(std::string("-auto ") + c.arguments);
    EXPECT_EQ(c.refusal, r.refusal) << c.arguments;
    EXPECT_EQ("", r.missing_option) << c.arguments;
  }
}

TEST(CommandLine, EmptyOrBlankLineIsInteractive) {
  EXPECT_EQ(RunMode::kInteractive, ParseCommandLine("").run.mode);
  EXPECT_EQ(RunMode::kInteractive, ParseCommandLine("   ").run.mode);
  EXPECT_EQ("", ParseCommandLine("   ").missing_option);
}

}  // namespace
}  // namespace pw
