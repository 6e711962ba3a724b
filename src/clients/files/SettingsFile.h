// A client's settings file is never edited in place: the new content goes into
// a temporary file beside it, which is checked at every step, pushed to the
// disk and closed, and then takes the original's place in one step. Whatever
// fails, the original stays as it was and the temporary file is gone.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/System.h"

namespace pw {

// The lines of a settings file, read as the clients read them: a line ends at
// CR LF, LF or a lone CR. A last line without a line end counts; an empty file
// has none. For 8-bit files and for UTF-16 files read as 16-bit code units.
std::vector<std::string> SplitLines(const std::string& text);
std::vector<std::u16string> SplitLines(const std::u16string& text);
// Hands every line of `text` to `each(line, start)` with the place where it
// starts, as SplitLines splits them, without keeping them.
template <typename Char, typename Each>
void ForEachLine(std::basic_string_view<Char> text, Each&& each) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != Char('\r') && text[end] != Char('\n')) ++end;
    each(text.substr(start, end - start), start);
    if (end + 1 < text.size() && text[end] == Char('\r') && text[end + 1] == Char('\n')) ++end;
    start = end + 1;
  }
}
// How many lines `text` has, for sizing, when they end in LF or CR LF: one
// more than its LFs (a file of lone CRs has more).
template <typename Char>
size_t LineCountHint(std::basic_string_view<Char> text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), Char('\n'))) + 1;
}
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
std::u16string JoinLines(const std::vector<std::u16string>& lines);

// "Reading C:\...\prefs.js failed with error code 32."
std::string DescribeFailure(const std::string& verb, const std::string& path, Status status);

// Why the settings file `path`, read as `bytes`, is to be left as it is; empty
// when it may be rewritten. A file in UTF-16 would be mangled by an 8-bit
// rewrite, and a read-only one is locked on purpose (Windows would refuse to
// replace it anyway); a file whose attributes cannot be read is refused too.
std::string RefusalToRewrite(FileSystem& files, const std::string& path, const std::string& bytes);
// The read-only half of that, for a file whose encoding is checked otherwise.
std::string ReadOnlyRefusal(FileSystem& files, const std::string& path);

// The step of a save that failed.
enum class SaveStep { kNone, kCreate, kWrite, kFlush, kClose, kReplace };

struct SaveOutcome {
  Status status = err::kSuccess;
  SaveStep step = SaveStep::kNone;
  std::string path;  // the file the failing step worked on

  bool ok() const { return status == err::kSuccess; }
  // "Writing C:\...\prefs.tmp failed with error code 112."
  std::string Describe() const;
};

// Where a save's bytes go a piece at a time.
class SaveSink {
 public:
  virtual ~SaveSink() = default;
  virtual void Append(std::string_view bytes) = 0;
};

// Gathers the pieces into one string.
class StringSink : public SaveSink {
 public:
  void Append(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

using SaveProducer = std::function<void(SaveSink&)>;

class SettingsFile {
 public:
  // A replace refused with a sharing violation or access denied is tried this
  // often in all, with a pause between tries: virus scanners hold a freshly
  // closed file briefly, and Windows and Wine report that either way.
  static constexpr int kReplaceAttempts = 5;
  static constexpr unsigned kReplacePauseMs = 200;

  SettingsFile(FileSystem& files, Clock& clock) : files_(files), clock_(clock) {}

  // Makes `bytes` the content of `path` by way of `temp_path` (beside it).
  // `path` need not exist.
  SaveOutcome Save(const std::string& path, const std::string& temp_path, const std::string& bytes);
  // The same for content made a piece at a time: it goes to the temporary
  // file through one buffer of kWriteBuffer bytes, so a large file is never
  // held whole a second time; a piece at least that large is written as it is.
  static constexpr size_t kWriteBuffer = 1 << 20;
  SaveOutcome Save(const std::string& path, const std::string& temp_path, const SaveProducer& produce);

 private:
  SaveOutcome Finish(const std::string& path, const std::string& temp_path, OutputFilePtr temp, Status written);
  Status ReplaceWithRetry(const std::string& temp_path, const std::string& path);

  FileSystem& files_;
  Clock& clock_;
};

}  // namespace pw
