#include "app/AppPaths.h"

namespace pw {

namespace {

// Every %NAME% whose variable is set, left to right; an unset one, or a
// lone %, stays as it is.
std::string ExpandVariables(const std::string& text, Environment& environment) {
  std::string expanded;
  size_t at = 0;
  while (at < text.size()) {
    const size_t open = text.find('%', at);
    const size_t close = open == std::string::npos ? std::string::npos : text.find('%', open + 1);
    std::string value;
    if (close == std::string::npos) {
      expanded += text.substr(at);
      break;
    }
    if (close > open + 1 && environment.Variable(text.substr(open + 1, close - open - 1), &value)) {
      expanded += text.substr(at, open - at) + value;
      at = close + 1;
    } else {
      expanded += text.substr(at, close - at);
      at = close;
    }
  }
  return expanded;
}

}  // namespace

std::optional<std::string> RegisteredProgramPath(Registry& registry, Environment& environment,
                                                 const std::string& program) {
  RegKeyPtr key;
  if (registry.OpenKey(RegRoot::kLocalMachine, AppPathsKey(program), RegAccess::kRead, &key) != err::kSuccess)
    return std::nullopt;
  std::string path = ExpandVariables(ReadRegText(*key, ""), environment);
  // A registration may quote its path; the program is the path alone, never
  // a command line Windows would split at its first blank.
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  if (path.empty()) return std::nullopt;
  return path;
}

std::optional<std::string> FolderOf(const std::string& program_path) {
  const size_t slash = program_path.find_last_of("\\/");
  if (slash == std::string::npos) return std::nullopt;
  return program_path.substr(0, slash);
}

}  // namespace pw
