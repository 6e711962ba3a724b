#include "WineBed.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

namespace pw {
namespace bed {
namespace {

// The bed's own corner of drive C: the baseline and the scratch folder.
const char kBedFolder[] = "C:\\PostwrightWineBed";
const char kBaselineFile[] = "C:\\PostwrightWineBed\\baseline.txt";

// The registry trees the program reads or writes, and those tests seed.
const char* const kGuardedTrees[] = {
    "HKCU\\Software\\Microsoft\\Internet Account Manager",
    "HKCU\\Software\\Microsoft\\IAM",
    "HKCU\\Software\\Microsoft\\Office",
    "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem",
    "HKCU\\Software\\Microsoft\\Exchange",
    "HKCU\\Software\\Microsoft\\Windows Mail",
    "HKCU\\Software\\Clients\\Mail",
    "HKCU\\Software\\Classes\\mailto",
    "HKLM\\SOFTWARE\\Clients\\Mail",
    "HKLM\\SOFTWARE\\Classes\\mailto",
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
};

// The program's records of its runs beside the log: the detection marker and
// the runs' backups. Every test starts without them, and they are not among
// the changes a test compares (a test that looks at them reads them).
const char kMarkerTree[] = "Software\\Quillset";
const char kBackupsFolder[] = "\\AppData\\Local\\Postwright";

const char kVolatileEnvironment[] = "Volatile Environment";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (name.empty()) return folder;
  return folder + "\\" + name;
}

// "HKCU\Software\X" -> HKEY_CURRENT_USER and "Software\X".
HKEY SplitRoot(const std::string& tree, std::string* path) {
  const size_t slash = tree.find('\\');
  const std::string root = tree.substr(0, slash);
  *path = slash == std::string::npos ? "" : tree.substr(slash + 1);
  if (root == "HKCU") return HKEY_CURRENT_USER;
  if (root == "HKLM") return HKEY_LOCAL_MACHINE;
  if (root == "HKCR") return HKEY_CLASSES_ROOT;
  ADD_FAILURE() << "unknown registry root in " << tree;
  return HKEY_CURRENT_USER;
}

class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (handle_) RegCloseKey(handle_);
  }
  LONG Open(HKEY root, const std::string& path, REGSAM access) {
    return RegOpenKeyExA(root, path.c_str(), 0, access, &handle_);
  }
  LONG Create(HKEY root, const std::string& path) {
    return RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle_, nullptr);
  }
  HKEY get() const { return handle_; }

 private:
  HKEY handle_ = nullptr;
};

// ---------------------------------------------------------------- capture

void CaptureKey(HKEY key, const std::string& relative, KeyTree* tree) {
  DWORD subkeys = 0, max_subkey = 0, values = 0, max_name = 0, max_data = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &max_subkey, nullptr, &values, &max_name, &max_data,
                   nullptr, nullptr);
  std::map<std::string, Value>& captured = tree->keys[relative];
  for (DWORD i = 0;; ++i) {
    std::string name(max_name + 2, '\0');
    std::string data(max_data + 2, '\0');
    DWORD name_size = static_cast<DWORD>(name.size());
    DWORD data_size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LONG status = RegEnumValueA(key, i, &name[0], &name_size, nullptr, &type,
                                      reinterpret_cast<BYTE*>(&data[0]), &data_size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) {
      ADD_FAILURE() << "RegEnumValueA on " << relative << " failed: " << status;
      break;
    }
    name.resize(name_size);
    data.resize(data_size);
    captured[name] = Value{type, data};
  }
  for (DWORD i = 0;; ++i) {
    std::string name(max_subkey + 2, '\0');
    DWORD name_size = static_cast<DWORD>(name.size());
    const LONG status = RegEnumKeyExA(key, i, &name[0], &name_size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) {
      ADD_FAILURE() << "RegEnumKeyExA on " << relative << " failed: " << status;
      break;
    }
    name.resize(name_size);
    Key child;
    if (child.Open(key, name, KEY_READ) == ERROR_SUCCESS) CaptureKey(child.get(), Join(relative, name), tree);
  }
}

KeyTree CaptureTree(const std::string& tree_name) {
  std::string path;
  const HKEY root = SplitRoot(tree_name, &path);
  KeyTree tree;
  Key key;
  if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS) return tree;
  tree.exists = true;
  CaptureKey(key.get(), "", &tree);
  return tree;
}

void CaptureFolder(const std::string& folder, const std::string& relative, FolderTree* tree) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(Join(Join(folder, relative), "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string child = Join(relative, name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      tree->folders.insert(child);
      // A link may lead out of the prefix; it is recorded but not followed.
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) CaptureFolder(folder, child, tree);
    } else {
      const std::optional<std::string> bytes = ReadBytes(Join(folder, child));
      tree->files[child] = bytes ? *bytes : std::string("<unreadable>");
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

FolderTree CaptureFolderTree(const std::string& folder) {
  FolderTree tree;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return tree;
  tree.exists = true;
  CaptureFolder(folder, "", &tree);
  return tree;
}

std::string VolatileText(const std::string& name) {
  const std::optional<Value> value = ReadValue(HKEY_CURRENT_USER, kVolatileEnvironment, name);
  if (!value) return "";
  return value->bytes.substr(0, value->bytes.find('\0'));
}

// The folders the program could write to: the user's application-data folder,
// Windows Mail's local store and the scratch folder tests seed into.
std::vector<std::string> GuardedFolders(const std::optional<Value>& app_data) {
  std::vector<std::string> folders;
  if (app_data) folders.push_back(app_data->bytes.substr(0, app_data->bytes.find('\0')));
  const std::string profile = VolatileText("USERPROFILE");
  if (!profile.empty()) folders.push_back(profile + "\\AppData\\Local\\Microsoft\\Windows Mail");
  folders.push_back(ScratchFolder());
  return folders;
}

State CaptureNow(const std::vector<std::string>& folders) {
  State state;
  state.app_data = AppDataValue();
  for (const char* tree : kGuardedTrees) state.trees[tree] = CaptureTree(tree);
  for (const std::string& folder : folders) state.folders[folder] = CaptureFolderTree(folder);
  return state;
}

// ---------------------------------------------------------------- the baseline file

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text = "x";
  for (unsigned char c : bytes) {
    text += kDigits[c >> 4];
    text += kDigits[c & 15];
  }
  return text;
}

std::string Unhex(const std::string& text) {
  std::string bytes;
  for (size_t i = 1; i + 1 < text.size(); i += 2) bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  return bytes;
}

std::string Serialize(const State& state) {
  std::ostringstream out;
  if (state.app_data) out << "APPDATA " << state.app_data->type << ' ' << Hex(state.app_data->bytes) << '\n';
  for (const auto& [name, tree] : state.trees) {
    out << "TREE " << Hex(name) << ' ' << tree.exists << '\n';
    for (const auto& [path, values] : tree.keys) {
      out << "KEY " << Hex(name) << ' ' << Hex(path) << '\n';
      for (const auto& [value_name, value] : values)
        out << "VALUE " << Hex(name) << ' ' << Hex(path) << ' ' << Hex(value_name) << ' ' << value.type << ' '
            << Hex(value.bytes) << '\n';
    }
  }
  for (const auto& [folder, tree] : state.folders) {
    out << "FOLDER " << Hex(folder) << ' ' << tree.exists << '\n';
    for (const std::string& sub : tree.folders) out << "DIR " << Hex(folder) << ' ' << Hex(sub) << '\n';
    for (const auto& [file, bytes] : tree.files)
      out << "FILE " << Hex(folder) << ' ' << Hex(file) << ' ' << Hex(bytes) << '\n';
  }
  return out.str();
}

State Deserialize(const std::string& text) {
  State state;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string kind, a, b, c, e;
    DWORD type = 0;
    fields >> kind;
    if (kind == "APPDATA") {
      fields >> type >> a;
      state.app_data = Value{type, Unhex(a)};
    } else if (kind == "TREE") {
      int exists = 0;
      fields >> a >> exists;
      state.trees[Unhex(a)].exists = exists != 0;
    } else if (kind == "KEY") {
      fields >> a >> b;
      state.trees[Unhex(a)].keys[Unhex(b)];
    } else if (kind == "VALUE") {
      fields >> a >> b >> c >> type >> e;
      state.trees[Unhex(a)].keys[Unhex(b)][Unhex(c)] = Value{type, Unhex(e)};
    } else if (kind == "FOLDER") {
      int exists = 0;
      fields >> a >> exists;
      state.folders[Unhex(a)].exists = exists != 0;
    } else if (kind == "DIR") {
      fields >> a >> b;
      state.folders[Unhex(a)].folders.insert(Unhex(b));
    } else if (kind == "FILE") {
      fields >> a >> b >> c;
      state.folders[Unhex(a)].files[Unhex(b)] = Unhex(c);
    }
  }
  return state;
}

// The prefix as it was before the first test touched it, recorded by the
// first reset in this prefix.
const State& Baseline() {
  static std::optional<State> baseline;
  if (baseline) return *baseline;
  SeedFolder(ScratchFolder());
  if (const std::optional<std::string> text = ReadBytes(kBaselineFile)) {
    baseline = Deserialize(*text);
    // Trees guarded since the baseline was written are taken as they are now.
    bool extended = false;
    for (const char* tree : kGuardedTrees) {
      if (baseline->trees.count(tree)) continue;
      baseline->trees[tree] = CaptureTree(tree);
      extended = true;
    }
    if (extended) SeedFile(kBaselineFile, Serialize(*baseline));
  } else {
    baseline = CaptureNow(GuardedFolders(AppDataValue()));
    SeedFile(kBaselineFile, Serialize(*baseline));
  }
  return *baseline;
}

std::vector<std::string> BaselineFolders() {
  std::vector<std::string> folders;
  for (const auto& entry : Baseline().folders) folders.push_back(entry.first);
  return folders;
}

// ---------------------------------------------------------------- restore

void RestoreTree(const std::string& tree_name, const KeyTree& want) {
  if (CaptureTree(tree_name) == want) return;
  std::string path;
  const HKEY root = SplitRoot(tree_name, &path);
  RemoveKey(root, path);
  if (!want.exists) return;
  for (const auto& [relative, values] : want.keys) {
    SeedKey(root, Join(path, relative));
    for (const auto& [name, value] : values) SeedValue(root, Join(path, relative), name, value.type, value.bytes);
  }
}

void RestoreFolder(const std::string& folder, const FolderTree& want) {
  const FolderTree now = CaptureFolderTree(folder);
  if (now == want) return;
  if (!want.exists) {
    RemovePath(folder);
    return;
  }
  // Deepest first, so a folder is empty by the time it goes.
  std::vector<std::string> extra;
  for (const auto& entry : now.files)
    if (!want.files.count(entry.first)) extra.push_back(entry.first);
  for (const std::string& sub : now.folders)
    if (!want.folders.count(sub)) extra.push_back(sub);
  std::sort(extra.rbegin(), extra.rend());
  for (const std::string& path : extra) RemovePath(Join(folder, path));
  SeedFolder(folder);
  for (const std::string& sub : want.folders) SeedFolder(Join(folder, sub));
  for (const auto& [file, bytes] : want.files) {
    const auto it = now.files.find(file);
    if (it == now.files.end() || it->second != bytes) SeedFile(Join(folder, file), bytes);
  }
}

// Ends every process that runs a program from the scratch folder: the copies
// of the sleeper a test started and did not end.
void EndScratchPrograms() {
  const std::string scratch = Lower(ScratchFolder()) + "\\";
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (!process) continue;
    char image[MAX_PATH * 2];
    DWORD size = sizeof image;
    if (QueryFullProcessImageNameA(process, 0, image, &size) && Lower(std::string(image, size)).rfind(scratch, 0) == 0) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 10000);
    }
    CloseHandle(process);
  }
  CloseHandle(snapshot);
}

std::string Printable(const std::string& bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c == '\\') {
      text += "\\\\";
    } else if (c >= 32 && c < 127) {
      text += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      text += escaped;
    }
  }
  return text;
}

std::string Describe(const std::optional<Value>& value) {
  if (!value) return "(missing)";
  return "type " + std::to_string(value->type) + " \"" + Printable(value->bytes) + "\"";
}

void DescribeTree(const std::string& name, const KeyTree& before, const KeyTree& after, std::ostringstream* out) {
  for (const auto& [path, values] : before.keys) {
    const auto now = after.keys.find(path);
    if (now == after.keys.end()) {
      *out << Join(name, path) << ": key removed\n";
      continue;
    }
    for (const auto& [value_name, value] : values) {
      const auto it = now->second.find(value_name);
      if (it == now->second.end())
        *out << Join(name, path) << ": value \"" << value_name << "\" removed\n";
      else if (it->second != value)
        *out << Join(name, path) << ": value \"" << value_name << "\" changed from " << Describe(value) << " to "
             << Describe(it->second) << "\n";
    }
    for (const auto& [value_name, value] : now->second)
      if (!values.count(value_name))
        *out << Join(name, path) << ": value \"" << value_name << "\" added: " << Describe(value) << "\n";
  }
  for (const auto& [path, values] : after.keys)
    if (!before.keys.count(path)) *out << Join(name, path) << ": key added with " << values.size() << " values\n";
}

void DescribeFolder(const std::string& name, const FolderTree& before, const FolderTree& after,
                    std::ostringstream* out) {
  if (before.exists != after.exists) *out << name << (after.exists ? ": folder created\n" : ": folder removed\n");
  for (const std::string& sub : before.folders)
    if (!after.folders.count(sub)) *out << Join(name, sub) << ": folder removed\n";
  for (const std::string& sub : after.folders)
    if (!before.folders.count(sub)) *out << Join(name, sub) << ": folder created\n";
  for (const auto& [file, bytes] : before.files) {
    const auto it = after.files.find(file);
    if (it == after.files.end())
      *out << Join(name, file) << ": file removed\n";
    else if (it->second != bytes)
      *out << Join(name, file) << ": file changed to \"" << Printable(it->second) << "\"\n";
  }
  for (const auto& [file, bytes] : after.files)
    if (!before.files.count(file)) *out << Join(name, file) << ": file created: \"" << Printable(bytes) << "\"\n";
}

std::string Drain(HANDLE pipe) {
  std::string text;
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    std::string chunk(available, '\0');
    DWORD read = 0;
    if (!ReadFile(pipe, &chunk[0], available, &read, nullptr) || read == 0) break;
    text.append(chunk, 0, read);
  }
  return text;
}

}  // namespace

// ---------------------------------------------------------------- registry

void SeedKey(HKEY root, const std::string& path) {
  Key key;
  const LONG status = key.Create(root, path);
  ASSERT_EQ(ERROR_SUCCESS, status) << "creating key " << path;
}

void SeedValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& bytes) {
  Key key;
  LONG status = key.Create(root, path);
  ASSERT_EQ(ERROR_SUCCESS, status) << "creating key " << path;
  status = RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size()));
  ASSERT_EQ(ERROR_SUCCESS, status) << "setting value \"" << name << "\" of " << path;
}

void SeedText(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
  SeedValue(root, path, name, REG_SZ, WithNul(text));
}

void SeedDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
  SeedValue(root, path, name, REG_DWORD, DwordBytes(value));
}

void RemoveKey(HKEY root, const std::string& path) {
  // With a subkey name, RegDeleteTree removes the key itself as well.
  const LONG status = RegDeleteTreeA(root, path.c_str());
  EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << "removing tree " << path << ": " << status;
}

std::optional<Value> ReadValue(HKEY root, const std::string& path, const std::string& name) {
  Key key;
  if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::string bytes(size, '\0');
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  bytes.resize(size);
  return Value{type, bytes};
}

std::vector<std::string> Subkeys(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  Key key;
  if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, size);
  }
  return names;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  Key key;
  if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS) return names;
  char name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumValueA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, size);
  }
  return names;
}

std::string WithNul(const std::string& text) { return std::string(text.data(), text.size() + 1); }

std::string DwordBytes(DWORD value) {
  return std::string{static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff),
                     static_cast<char>((value >> 16) & 0xff), static_cast<char>((value >> 24) & 0xff)};
}

// ---------------------------------------------------------------- files

void SeedFolder(const std::string& path) {
  if (path.empty() || PathExists(path)) return;
  const size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos && slash > 2) SeedFolder(path.substr(0, slash));
  const BOOL made = CreateDirectoryA(path.c_str(), nullptr);
  const DWORD error = made ? 0 : GetLastError();
  ASSERT_TRUE(made || error == ERROR_ALREADY_EXISTS) << "creating folder " << path << ": " << error;
}

void SeedFile(const std::string& path, const std::string& bytes) {
  const size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos) SeedFolder(path.substr(0, slash));
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << "creating file " << path << ": " << GetLastError();
  DWORD written = 0;
  const BOOL wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(wrote && written == bytes.size()) << "writing file " << path;
}

std::optional<std::string> ReadBytes(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemovePath(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "removing file " << path << ": " << GetLastError();
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    std::vector<std::string> children;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") children.push_back(path + "\\" + name);
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    for (const std::string& child : children) RemovePath(child);
  }
  EXPECT_TRUE(RemoveDirectoryA(path.c_str())) << "removing folder " << path << ": " << GetLastError();
}

std::string ScratchFolder() { return std::string(kBedFolder) + "\\scratch"; }

// ---------------------------------------------------------------- the user's folders and log

std::optional<Value> AppDataValue() { return ReadValue(HKEY_CURRENT_USER, kVolatileEnvironment, "APPDATA"); }

std::string AppDataFolder() {
  const std::optional<Value> value = AppDataValue();
  if (!value) return "";
  return value->bytes.substr(0, value->bytes.find('\0'));
}

void SetAppData(const std::string& folder) { SetAppDataValue(Value{REG_SZ, WithNul(folder)}); }

void SetAppDataValue(const std::optional<Value>& value) {
  if (value) {
    SeedValue(HKEY_CURRENT_USER, kVolatileEnvironment, "APPDATA", value->type, value->bytes);
    return;
  }
  Key key;
  if (key.Open(HKEY_CURRENT_USER, kVolatileEnvironment, KEY_ALL_ACCESS) != ERROR_SUCCESS) return;
  const LONG status = RegDeleteValueA(key.get(), "APPDATA");
  EXPECT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << "removing APPDATA: " << status;
}

std::string LogPath() {
  const std::string folder = AppDataFolder();
  return folder.empty() ? "" : folder + "\\Postwright.log";
}

std::optional<std::string> ReadLog() {
  const std::string path = LogPath();
  if (path.empty()) return std::nullopt;
  return ReadBytes(path);
}

std::vector<std::string> LogLines() {
  const std::optional<std::string> log = ReadLog();
  return log ? SplitLines(*log) : std::vector<std::string>{};
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// ---------------------------------------------------------------- running the program

std::string ProgramFolder() {
  char path[MAX_PATH * 2];
  const DWORD size = GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string full(path, size);
  return full.substr(0, full.find_last_of('\\'));
}

std::string PostwrightPath() { return ProgramFolder() + "\\Postwright.exe"; }

RunResult RunPostwright(const std::string& arguments, DWORD timeout_ms) {
  std::string command_line = "\"" + PostwrightPath() + "\"";
  if (!arguments.empty()) command_line += " " + arguments;
  return RunProgram(command_line, timeout_ms);
}

RunResult RunProgram(const std::string& command_line, DWORD timeout_ms) {
  RunResult result;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE out_read = nullptr, out_write = nullptr, err_read = nullptr, err_write = nullptr;
  if (!CreatePipe(&out_read, &out_write, &inheritable, 0) || !CreatePipe(&err_read, &err_write, &inheritable, 0)) {
    ADD_FAILURE() << "CreatePipe failed: " << GetLastError();
    return result;
  }
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  const HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                                 0, nullptr);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process{};
  // Wine now and then fails a start with ERROR_INTERNAL_ERROR (1359) when the
  // new process cannot get going; such a start changed nothing, so try again.
  DWORD start_error = 0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    // The command line is UTF-8: started as a wide command line, the program
    // gets every character whatever the code page.
    std::wstring mutable_line(command_line.size() + 1, L'\0');
    mutable_line.resize(MultiByteToWideChar(CP_UTF8, 0, command_line.data(), static_cast<int>(command_line.size()),
                                            &mutable_line[0], static_cast<int>(mutable_line.size())));
    mutable_line.push_back(L'\0');
    result.started = CreateProcessW(nullptr, &mutable_line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                    &startup, &process) != 0;
    start_error = GetLastError();
    if (result.started || start_error != ERROR_INTERNAL_ERROR) break;
    Sleep(200);
  }
  // Only the child holds the write ends now, so the pipes report its output alone.
  CloseHandle(out_write);
  CloseHandle(err_write);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!result.started) {
    ADD_FAILURE() << "could not start " << command_line << ": " << start_error;
  } else {
    // Poll rather than block on the pipes, so that neither a full pipe nor a
    // grandchild holding a pipe open can hang the test.
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
      result.out += Drain(out_read);
      result.err += Drain(err_read);
      if (WaitForSingleObject(process.hProcess, 5) == WAIT_OBJECT_0) break;
      if (GetTickCount64() > deadline) {
        result.timed_out = true;
        TerminateProcess(process.hProcess, 259);
        WaitForSingleObject(process.hProcess, 10000);
        break;
      }
    }
    result.out += Drain(out_read);
    result.err += Drain(err_read);
    GetExitCodeProcess(process.hProcess, &result.exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out_read);
  CloseHandle(err_read);
  return result;
}

// ---------------------------------------------------------------- state and reset

State CaptureState() { return CaptureNow(BaselineFolders()); }

std::string DescribeChanges(const State& before, const State& after) {
  std::ostringstream out;
  if (before.app_data != after.app_data)
    out << "APPDATA changed from " << Describe(before.app_data) << " to " << Describe(after.app_data) << "\n";
  for (const auto& [name, tree] : before.trees) {
    const auto it = after.trees.find(name);
    const KeyTree none;
    if (tree.exists != (it != after.trees.end() && it->second.exists))
      out << name << (tree.exists ? ": tree removed\n" : ": tree created\n");
    DescribeTree(name, tree, it == after.trees.end() ? none : it->second, &out);
  }
  for (const auto& [name, folder] : before.folders) {
    const auto it = after.folders.find(name);
    DescribeFolder(name, folder, it == after.folders.end() ? FolderTree{} : it->second, &out);
  }
  return out.str();
}

void Reset() {
  const State& baseline = Baseline();
  EndScratchPrograms();
  for (const auto& [name, tree] : baseline.trees) RestoreTree(name, tree);
  if (AppDataValue() != baseline.app_data) SetAppDataValue(baseline.app_data);
  for (const auto& [folder, tree] : baseline.folders) RestoreFolder(folder, tree);
  RemoveKey(HKEY_CURRENT_USER, kMarkerTree);
  const std::string profile = VolatileText("USERPROFILE");
  if (!profile.empty()) RemovePath(profile + kBackupsFolder);
}

}  // namespace bed
}  // namespace pw
