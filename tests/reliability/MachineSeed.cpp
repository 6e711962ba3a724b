#include "MachineSeed.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pw {
namespace reliability {

namespace {

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool RootOf(const std::string& name, RegRoot* root) {
  if (name == "HKCU") *root = RegRoot::kCurrentUser;
  else if (name == "HKLM") *root = RegRoot::kLocalMachine;
  else if (name == "HKCR") *root = RegRoot::kClassesRoot;
  else return false;
  return true;
}

std::string HexBytes(const std::string& list) {
  std::string bytes;
  std::istringstream in(list);
  for (std::string byte; std::getline(in, byte, ',');)
    if (!byte.empty()) bytes += static_cast<char>(std::stoul(byte, nullptr, 16));
  return bytes;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char two[3];
  for (unsigned char c : bytes) {
    std::snprintf(two, sizeof two, "%02x", c);
    hex += two;
  }
  return hex;
}

void CaptureKey(MemoryRegistry& registry, RegRoot root, const std::string& root_name, const std::string& path,
                MachineState* state) {
  RegKeyPtr key;
  if (registry.OpenKey(root, path, RegAccess::kRead, &key) != err::kSuccess) return;
  const std::string name = path.empty() ? root_name : root_name + "\\" + path;
  (*state)["K " + name] = "";
  for (const std::string& value_name : registry.ValueNames(root, path)) {
    RegValue value;
    registry.Get(root, path, value_name, &value);
    (*state)["V " + name + "\\\"" + value_name + "\""] = std::to_string(value.type) + ":" + Hex(value.data);
  }
  std::string sub;
  for (uint32_t i = 0; key->EnumSubkey(i, &sub) == err::kSuccess; ++i)
    CaptureKey(registry, root, root_name, path.empty() ? sub : path + "\\" + sub, state);
}

}  // namespace

std::string DataFolder() { return POSTWRIGHT_RELIABILITY_DATA; }

void SeedRegistry(MemoryRegistry& registry, const std::string& reg_text) {
  std::istringstream lines(reg_text);
  RegRoot root = RegRoot::kCurrentUser;
  std::string key;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[' && line.back() == ']') {
      const std::string full = line.substr(1, line.size() - 2);
      const size_t slash = full.find('\\');
      ASSERT_TRUE(RootOf(full.substr(0, slash), &root)) << line;
      key = slash == std::string::npos ? "" : full.substr(slash + 1);
      registry.PutKey(root, key);
      continue;
    }
    const size_t equals = line.find("\"=");
    const bool default_value = line.rfind("@=", 0) == 0;
    ASSERT_TRUE(default_value || (line[0] == '"' && equals != std::string::npos)) << line;
    const std::string name = default_value ? "" : line.substr(1, equals - 1);
    const std::string data = line.substr(default_value ? 2 : equals + 2);
    const size_t colon = data.find(':');
    ASSERT_NE(std::string::npos, colon) << line;
    const std::string kind = data.substr(0, colon), text = data.substr(colon + 1);
    if (kind == "sz") {
      registry.Put(root, key, name, regtype::kSz, text + std::string(1, '\0'));
    } else if (kind == "text") {
      registry.Put(root, key, name, regtype::kSz, text);
    } else if (kind == "dword") {
      registry.PutDword(root, key, name, static_cast<uint32_t>(std::stoul(text, nullptr, 16)));
    } else if (kind == "hex") {
      registry.Put(root, key, name, regtype::kBinary, HexBytes(text));
    } else if (kind.rfind("hex(", 0) == 0) {
      registry.Put(root, key, name, static_cast<uint32_t>(std::stoul(kind.substr(4), nullptr, 16)), HexBytes(text));
    } else if (kind == "utf16") {
      std::string bytes;
      for (char c : text) bytes += std::string{c, '\0'};
      registry.Put(root, key, name, regtype::kBinary, bytes + std::string(2, '\0'));
    } else {
      ADD_FAILURE() << "unknown value kind in " << line;
    }
  }
}

void SeedMachine(MemoryPlatform& machine, const std::string& name) {
  machine.registry.PutText(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", kAppData);
  machine.environment.Set("USERPROFILE", "C:\\Users\\jo");
  machine.environment.Set("ProgramFiles", "C:\\Program Files");
  machine.files.PutFolder(kAppData);
  machine.environment.SetShellLocalAppData(kLocalAppData);
  machine.files.PutFolder(kLocalAppData);
  const std::filesystem::path folder = std::filesystem::path(DataFolder()) / "machines" / name;
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
  if (std::filesystem::exists(folder / "registry.reg"))
    SeedRegistry(machine.registry, ReadHostFile(folder / "registry.reg"));
  const std::filesystem::path drives = folder / "files";
  if (!std::filesystem::exists(drives)) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(drives)) {
    std::string path = std::filesystem::relative(entry.path(), drives).string();
    for (char& c : path)
      if (c == '/') c = '\\';
    path.insert(1, ":");  // "C\Users" is C:\Users
    if (entry.is_directory())
      machine.files.PutFolder(path);
    else
      machine.files.PutFile(path, ReadHostFile(entry.path()));
  }
}

MachineState Capture(MemoryPlatform& machine) {
  MachineState state;
  CaptureKey(machine.registry, RegRoot::kCurrentUser, "HKCU", "", &state);
  CaptureKey(machine.registry, RegRoot::kLocalMachine, "HKLM", "", &state);
  CaptureKey(machine.registry, RegRoot::kClassesRoot, "HKCR", "", &state);
  for (const std::string& path : machine.files.Tree("C:\\")) {
    if (!path.empty() && path.back() == '\\')
      state["D " + path] = "";
    else
      state["F " + path] = machine.files.FileBytes(path);
  }
  return state;
}

}  // namespace reliability
}  // namespace pw
