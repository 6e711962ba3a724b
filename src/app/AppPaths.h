// Where installers register a program: the default value of its App Paths key
// holds the program's full path.
#pragma once

#include <string>

namespace pw {

// The HKLM key of `program`, a file name such as "Eudora.exe".
inline std::string AppPathsKey(const std::string& program) {
  return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + program + "\\";
}

}  // namespace pw
