// What a run is asked to do: the plain request that the command line and the
// window both fill, and the run takes.
#pragma once

#include <optional>
#include <string>

namespace pw {

// kRestore takes the last changing run back.
enum class RunMode { kInteractive, kExplicit, kAutomatic, kRestore };

struct RunRequest {
  RunMode mode = RunMode::kInteractive;
  int client = -1;             // -c (read like atoi) or the window's radio group; -1 none chosen
  std::string display_name;    // -n
  std::string user_name;       // -a: the part before the provider's domain
  bool make_default = false;   // -d
  bool overwrite = false;      // -u
  bool close_running = false;  // -x, automatic mode only
  std::string prefix;          // -p, automatic mode
  std::optional<std::string> search_address;  // -s, automatic mode
  bool what_if = false;        // -whatif: list the changes, make none
};

}  // namespace pw
