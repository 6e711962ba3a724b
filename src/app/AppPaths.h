// Where installers register a program: the default value of its App Paths key
// holds the program's full path.
#pragma once

#include <optional>
#include <string>

#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

// The HKLM key of `program`, a file name such as "Eudora.exe".
inline std::string AppPathsKey(const std::string& program) {
  return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + program + "\\";
}

// The path App Paths registers for `program`, read as Windows starts the
// program: every %NAME% of a variable that is set is expanded (installers
// write "%ProgramFiles%\..." as REG_SZ as well as REG_EXPAND_SZ), and double
// quotes around the path go. None when the key or its value cannot be read,
// or it is empty.
std::optional<std::string> RegisteredProgramPath(Registry& registry, Environment& environment,
                                                 const std::string& program);

// The folder of a program's path: the text before its last backslash (or
// slash); none for a bare file name.
std::optional<std::string> FolderOf(const std::string& program_path);

}  // namespace pw
