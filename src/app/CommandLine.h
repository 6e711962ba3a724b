// The command line: options found by substring search, as the program has
// always read them, with the quoting rules mended so that a quoted value may
// hold " -" and a bare value keeps all its letters.
#pragma once

#include <optional>
#include <string>

#include "app/RunRequest.h"

namespace pw {

// The one line printed on standard error when a required option is missing.
extern const char kUsageLine[];

std::string TrimTrailingBlanks(std::string text);
// True when " " + option occurs in " " + command line (case-sensitive), so a
// flag is found at the start of any word that begins with it.
bool HasFlag(const std::string& command_line, const std::string& option);
// The text after " option " up to the next " -"; none when the option is not
// there. A quoted value (for "-n", "-p", "-s") that begins with a double quote
// runs to the next double quote and loses both quotes.
std::optional<std::string> ExtractValue(const std::string& command_line, const std::string& option, bool quoted);

struct CommandLineRequest {
  RunRequest run;
  std::string missing_option;  // the first required option not given; empty when complete
  std::string refusal;         // why a value given cannot be used; empty when every one can
};

// Reads the text after the program name.
CommandLineRequest ParseCommandLine(const std::string& raw);

}  // namespace pw
