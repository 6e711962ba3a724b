#include "app/AppDataFolder.h"

namespace pw {

std::vector<std::string> AppDataFolders(Registry& registry, Environment& environment) {
  std::vector<std::string> folders;
  std::string folder;
  RegKeyPtr key;
  if (registry.OpenKey(RegRoot::kCurrentUser, "Volatile Environment\\", RegAccess::kRead, &key) == err::kSuccess &&
      ReadRegTextInBuffer(*key, "APPDATA", kRegTextBufferBytes, &folder) && !folder.empty())
    folders.push_back(folder);
  if (environment.ShellAppDataFolder(&folder) == err::kSuccess && !folder.empty() &&
      (folders.empty() || folders.front() != folder))
    folders.push_back(folder);
  return folders;
}

std::optional<std::string> AppDataFolder(Registry& registry, Environment& environment) {
  const std::vector<std::string> folders = AppDataFolders(registry, environment);
  if (folders.empty()) return std::nullopt;
  return folders.front();
}

}  // namespace pw
