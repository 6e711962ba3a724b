// One preference line of a Thunderbird prefs.js:
//   user_pref("name", value);
// where the value is a JavaScript literal: a string in double quotes, a
// decimal number or the word true.
#pragma once

#include <string>
#include <string_view>

namespace pw {

std::string PrefLine(const std::string& name, const std::string& literal);

// A string literal, escaped as Thunderbird escapes it when it saves its
// preferences (backslash, double quote, LF and CR), so no text can end the
// string early or add a preference of its own.
std::string PrefText(const std::string& text);
std::string EscapePrefText(const std::string& text);
std::string PrefNumber(long long number);
extern const char kPrefTrue[];

// A preference as a line of prefs.js sets it.
struct Pref {
  std::string name;
  bool is_text = false;
  std::string value;  // a string's text, without quotes and escapes; a number, true or false as written
};

// Reads a line the way Thunderbird's preference reader reads it: blanks may
// stand before the line and around every part of it; the name and a text
// value are strings in double or single quotes with the escapes \" \' \\ \n
// \r \xHH and \uHHHH (UTF-8 in the result); a value may also be a decimal
// number with an optional sign, true or false; a // comment may follow the
// semicolon. False, with `pref` unspecified, for any other line.
bool ReadPrefLine(std::string_view line, Pref* pref);

// The same preference as views: a name or text without escapes is a view of
// the line; one with escapes is decoded into `name_text` or `value_text`
// and viewed there.
struct PrefView {
  std::string_view name;
  bool is_text = false;
  std::string_view value;
};
bool ReadPrefLine(std::string_view line, PrefView* pref, std::string* name_text, std::string* value_text);

}  // namespace pw
