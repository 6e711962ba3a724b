// The run log: Postwright.log in the user's application-data folder, appended
// to by every run. Lines end in CR LF and reach the file as they end (one
// write each); the record is pushed to the disk once, when it closes. A log
// that cannot be opened drops every write; the run goes on without it.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/System.h"

namespace pw {

enum class Closing { kComplete, kFailed, kTerminatedAutomatically, kTerminatedByUser, kWhatIf };

class RunLog {
 public:
  RunLog() = default;
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Opens `path` for appending; on failure the log stays closed.
  Status Open(FileSystem& files, Clock& clock, const std::string& path);
  // Opens Postwright.log in the first of `folders` that can hold it; the
  // answer of the last try (3, path not found, when there is no folder).
  Status OpenIn(FileSystem& files, Clock& clock, const std::vector<std::string>& folders);
  // From now on lines reach the file in the system's ANSI code page, as the
  // log has always been written; a character the code page cannot hold
  // becomes "?" there (only there). Without this, lines are written as UTF-8.
  void WriteInCodePageOf(Environment& environment) { code_page_ = &environment; }
  // The file of the last open, whether or not it opened.
  const std::string& path() const { return path_; }
  bool IsOpen() const { return file_ != nullptr; }

  RunLog& operator<<(const std::string& text);
  RunLog& operator<<(const char* text);
  RunLog& operator<<(long long number);
  RunLog& operator<<(int number) { return *this << static_cast<long long>(number); }
  RunLog& operator<<(long number) { return *this << static_cast<long long>(number); }
  RunLog& operator<<(unsigned number) { return *this << static_cast<long long>(number); }
  // Ends the line and puts it in the file.
  void EndLine();
  void Line(const std::string& text);
  void BlankLine() { EndLine(); }

  // The current local time as "%H:%M:%S on %m/%d/%y".
  std::string TimeStamp() const;
  // Title, rule and the start line of an interactive or command-line run.
  void WriteHeader(bool command_line);
  // The run's one closing line and its blank line; then the log is closed.
  void WriteClosing(Closing closing);
  void Close();
  // Opens the file of the last Open again, to append after the closing line.
  Status Reopen();

 private:
  FileSystem* files_ = nullptr;
  std::string path_;
  OutputFilePtr file_;
  Clock* clock_ = nullptr;
  Environment* code_page_ = nullptr;
  std::string pending_;
};

std::string FormatTimeStamp(const LocalTime& time);

}  // namespace pw
