// The command line: options found by substring search, as the program has
// always read them, with the quoting rules mended so that a quoted value may
// hold " -" and a bare value keeps all its letters.
#pragma once

#include <optional>
#include <string>

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

enum class RunMode { kInteractive, kExplicit, kAutomatic };

// How the run goes: what the application object hands the dialog.
struct RunOptions {
  RunMode mode = RunMode::kInteractive;
  bool make_default = false;   // -d
  bool overwrite = false;      // -u
  bool close_running = false;  // -x, automatic mode only
  std::string prefix;          // -p, automatic mode
  std::optional<std::string> search_address;  // -s, automatic mode
};

struct CommandLineRequest {
  RunOptions run;
  std::string missing_option;  // the first required option not given; empty when complete
  std::string refusal;         // why a value given cannot be used; empty when every one can
  std::string display_name;    // -n, explicit mode
  int client = -1;             // -c, explicit mode, read like atoi
  std::string user_name;       // -a, explicit mode
};

// Reads the text after the program name.
CommandLineRequest ParseCommandLine(const std::string& raw);

}  // namespace pw
