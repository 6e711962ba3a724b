// A copy of the sleeper program, started under a chosen file name (say
// "thunderbird.exe") from a folder of its own below the scratch folder, so that
// the process snapshot shows a running mail client. Destroying it ends the
// copy and removes it.
#pragma once

#include <windows.h>

#include <string>

namespace pw {
namespace bed {

// The exit code of a sleeper that ran its full time.
constexpr DWORD kSleeperExitCode = 7;
// The exit code the bed itself gives a copy it ends.
constexpr DWORD kEndedByBedExitCode = 1;

class DummyProgram {
 public:
  explicit DummyProgram(const std::string& exe_name);
  // A copy of another program built beside the tests (say
  // "wine_windowed_client.exe"), started with `arguments` after its name.
  DummyProgram(const std::string& exe_name, const std::string& image, const std::string& arguments);
  DummyProgram(const DummyProgram&) = delete;
  DummyProgram& operator=(const DummyProgram&) = delete;
  ~DummyProgram();

  bool started() const { return process_ != nullptr; }
  DWORD process_id() const { return process_id_; }
  const std::string& path() const { return path_; }

  bool Running() const;
  // True when the copy ended within the time.
  bool WaitForEnd(DWORD timeout_ms) const;
  // STILL_ACTIVE (259) while it runs.
  DWORD ExitCode() const;
  // Ends the copy (exit code kEndedByBedExitCode) and removes its folder.
  void End();

 private:
  std::string folder_;
  std::string path_;
  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
};

}  // namespace bed
}  // namespace pw
