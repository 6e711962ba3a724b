// The Wine test bed: what an end-to-end test needs to run Postwright.exe in the
// shared Wine prefix and to look at what it did. Everything here goes through
// the Win32 API directly, never through the program's own platform code, so a
// fault in that code cannot hide itself.
//
// The prefix is shared by every test (they take turns), so each test starts
// from the prefix's pristine state: the first reset in a prefix records the
// guarded registry trees, folders and the APPDATA value in a baseline file;
// every later reset puts them back exactly as recorded. A test that seeds
// something outside the guarded places must add that place to the lists in
// WineBed.cpp.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pw {
namespace bed {

// ---------------------------------------------------------------- registry

struct Value {
  DWORD type = REG_NONE;
  std::string bytes;  // exactly as stored
  bool operator==(const Value& other) const { return type == other.type && bytes == other.bytes; }
  bool operator!=(const Value& other) const { return !(*this == other); }
};

// Creates the key and any missing parents. A failure fails the test.
void SeedKey(HKEY root, const std::string& path);
void SeedValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& bytes);
// A REG_SZ with its terminating NUL, as regedit and most installers write it.
void SeedText(HKEY root, const std::string& path, const std::string& name, const std::string& text);
void SeedDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
// Deletes the key with all it holds; a missing key is fine.
void RemoveKey(HKEY root, const std::string& path);

// Empty when the key or the value is missing.
std::optional<Value> ReadValue(HKEY root, const std::string& path, const std::string& name);
// The names of the key's subkeys in the order Windows enumerates them.
std::vector<std::string> Subkeys(HKEY root, const std::string& path);
// The names of the key's values in enumeration order.
std::vector<std::string> ValueNames(HKEY root, const std::string& path);

// The bytes of a text as REG_SZ holds it with and without its NUL.
std::string WithNul(const std::string& text);
std::string DwordBytes(DWORD value);

// ---------------------------------------------------------------- files

// Writes the file, creating its folders first. A failure fails the test.
void SeedFile(const std::string& path, const std::string& bytes);
void SeedFolder(const std::string& path);
// Empty when the file cannot be read.
std::optional<std::string> ReadBytes(const std::string& path);
bool PathExists(const std::string& path);
// Removes a file, or a folder with everything below it; a missing path is fine.
void RemovePath(const std::string& path);
// A folder tests may fill freely; a reset empties it.
std::string ScratchFolder();

// ---------------------------------------------------------------- the user's folders and log

// The value APPDATA of HKCU "Volatile Environment", where the program looks
// for the user's application-data folder.
std::optional<Value> AppDataValue();
std::string AppDataFolder();
// Points APPDATA somewhere else (REG_SZ with its NUL); the reset puts it back.
void SetAppData(const std::string& folder);
void SetAppDataValue(const std::optional<Value>& value);

// This user's Postwright.log (in the folder APPDATA names), or empty when
// there is none.
std::string LogPath();
std::optional<std::string> ReadLog();
// The log's lines, each without its CR LF; a last line without CR LF is kept
// as it is, so a missing line end shows.
std::vector<std::string> LogLines();
std::vector<std::string> SplitLines(const std::string& bytes);

// ---------------------------------------------------------------- running the program

struct RunResult {
  bool started = false;
  bool timed_out = false;
  DWORD exit_code = 0;
  std::string out;  // standard output, bytes as written
  std::string err;  // standard error, bytes as written
};

// The folder wine_tests.exe runs from; Postwright.exe and the sleeper are built beside it.
std::string ProgramFolder();
std::string PostwrightPath();
// Runs Postwright.exe with the text after the program name (empty: none), with
// both output streams captured and standard input empty. A run that outlives
// the timeout is killed and reported as timed out.
RunResult RunPostwright(const std::string& arguments, DWORD timeout_ms = 60000);
// The same for any program, with its whole command line.
RunResult RunProgram(const std::string& command_line, DWORD timeout_ms);

// ---------------------------------------------------------------- state and reset

// Everything of the prefix the program could touch, as a test sees it.
struct KeyTree {
  bool exists = false;
  // key path relative to the tree's root key ("" for the root itself) -> values by name
  std::map<std::string, std::map<std::string, Value>> keys;
  bool operator==(const KeyTree& o) const { return exists == o.exists && keys == o.keys; }
};
struct FolderTree {
  bool exists = false;
  std::set<std::string> folders;               // relative paths
  std::map<std::string, std::string> files;    // relative path -> bytes
  bool operator==(const FolderTree& o) const {
    return exists == o.exists && folders == o.folders && files == o.files;
  }
};
struct State {
  std::optional<Value> app_data;
  std::map<std::string, KeyTree> trees;      // by guarded tree name, e.g. "HKLM\SOFTWARE\Clients\Mail"
  std::map<std::string, FolderTree> folders;  // by guarded folder path
};

State CaptureState();
// One line per difference, empty when the two states are the same.
std::string DescribeChanges(const State& before, const State& after);

// Ends the programs the bed started, then puts every guarded tree, folder and
// the APPDATA value back as the prefix had them before any test ran.
void Reset();

}  // namespace bed
}  // namespace pw
