#include "app/RunLog.h"

#include <cstdio>

namespace pw {

Status RunLog::Open(FileSystem& files, Clock& clock, const std::string& path) {
  Close();
  files_ = &files;
  clock_ = &clock;
  path_ = path;
  return Reopen();
}

Status RunLog::OpenIn(FileSystem& files, Clock& clock, const std::vector<std::string>& folders) {
  Status status = err::kPathNotFound;
  for (const std::string& folder : folders) {
    status = Open(files, clock, folder + "\\Postwright.log");
    if (status == err::kSuccess) break;
  }
  return status;
}

Status RunLog::Reopen() {
  Close();
  if (!files_ || path_.empty()) return err::kPathNotFound;
  return files_->OpenAppend(path_, &file_);
}

RunLog& RunLog::operator<<(const std::string& text) {
  if (file_) pending_ += text;
  return *this;
}

RunLog& RunLog::operator<<(const char* text) { return *this << std::string(text); }

RunLog& RunLog::operator<<(long long number) { return *this << std::to_string(number); }

void RunLog::EndLine() {
  if (!file_) return;
  pending_ += "\r\n";
  std::string line;
  if (code_page_)
    code_page_->ToAnsiCodePage(pending_, &line);
  else
    line.swap(pending_);
  // One write per line hands it to the system, so a crash loses no line; a
  // failed write is dropped: the log never stops the run.
  static_cast<void>(file_->Write(line));
  pending_.clear();
}

void RunLog::Line(const std::string& text) {
  *this << text;
  EndLine();
}

std::string RunLog::TimeStamp() const { return clock_ ? FormatTimeStamp(clock_->Now()) : std::string(); }

void RunLog::WriteHeader(bool command_line) {
  Line("Postwright - Quillset Log");
  Line("-------------------------------------------");
  BlankLine();
  Line(std::string(command_line ? "* Beginning Configuration (command line) at " : "* Beginning Configuration at ") +
       TimeStamp() + " *");
  BlankLine();
}

void RunLog::WriteClosing(Closing closing) {
  const char* text = "";
  switch (closing) {
    case Closing::kComplete: text = "* Configuration Complete at "; break;
    case Closing::kFailed: text = "* Configuration Failed at "; break;
    case Closing::kTerminatedAutomatically: text = "* Configuration Incomplete. Terminated automatically at "; break;
    case Closing::kTerminatedByUser: text = "* Configuration Incomplete. Terminated by user at "; break;
    case Closing::kWhatIf: text = "* What-if Run Complete (nothing was changed) at "; break;
  }
  Line(text + TimeStamp() + " *");
  BlankLine();
  // The record goes to the disk once, whole: a flush per line costs a disk
  // write each on Windows.
  if (file_) static_cast<void>(file_->Flush());
  Close();
}

void RunLog::Close() {
  if (file_) static_cast<void>(file_->Close());  // dropped like a failed write
  file_.reset();
  pending_.clear();
}

std::string FormatTimeStamp(const LocalTime& t) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d on %02d/%02d/%02d", t.hour, t.minute, t.second, t.month,
                t.day, t.year % 100);
  return buffer;
}

}  // namespace pw
