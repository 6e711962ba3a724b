// One preference line of a Thunderbird prefs.js:
//   user_pref("name", value);
// where the value is a JavaScript literal: a string in double quotes, a
// decimal number or the word true.
#pragma once

#include <string>

namespace pw {

std::string PrefLine(const std::string& name, const std::string& literal);

// A string literal, escaped as Thunderbird escapes it when it saves its
// preferences (backslash, double quote, LF and CR), so no text can end the
// string early or add a preference of its own.
std::string PrefText(const std::string& text);
std::string EscapePrefText(const std::string& text);
std::string PrefNumber(long long number);
extern const char kPrefTrue[];

}  // namespace pw
