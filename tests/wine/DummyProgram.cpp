#include "DummyProgram.h"

#include <gtest/gtest.h>

#include "WineBed.h"

namespace pw {
namespace bed {

DummyProgram::DummyProgram(const std::string& exe_name) : DummyProgram(exe_name, "wine_sleeper.exe", "") {}

DummyProgram::DummyProgram(const std::string& exe_name, const std::string& image, const std::string& arguments) {
  static int counter = 0;
  folder_ = ScratchFolder() + "\\programs\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  path_ = folder_ + "\\" + exe_name;
  SeedFolder(folder_);
  const std::string sleeper = ProgramFolder() + "\\" + image;
  if (!CopyFileA(sleeper.c_str(), path_.c_str(), FALSE)) {
    ADD_FAILURE() << "copying " << sleeper << " to " << path_ << ": " << GetLastError();
    return;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command_line = "\"" + path_ + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (!CreateProcessA(path_.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                      &process)) {
    ADD_FAILURE() << "starting " << path_ << ": " << GetLastError();
    return;
  }
  CloseHandle(process.hThread);
  process_ = process.hProcess;
  process_id_ = process.dwProcessId;
}

DummyProgram::~DummyProgram() { End(); }

bool DummyProgram::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool DummyProgram::WaitForEnd(DWORD timeout_ms) const {
  return process_ && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

DWORD DummyProgram::ExitCode() const {
  DWORD code = 0;
  if (!process_ || !GetExitCodeProcess(process_, &code)) return 0;
  return code;
}

void DummyProgram::End() {
  if (process_) {
    if (Running()) TerminateProcess(process_, kEndedByBedExitCode);
    WaitForSingleObject(process_, 10000);
    CloseHandle(process_);
    process_ = nullptr;
  }
  if (!folder_.empty()) RemovePath(folder_);
  folder_.clear();
}

}  // namespace bed
}  // namespace pw
