// Chromium's lesson for any file a program must not lose: never edit in
// place. The new content goes into a temporary file beside the original, which
// is checked at every step, pushed to the disk and closed, and then takes the
// original's place in one step. Whatever fails, the original stays as it was
// and the temporary file is gone.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/System.h"

namespace pw {

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

// "Reading C:\...\prefs.js failed with error code 32."
std::string DescribeFailure(const std::string& verb, const std::string& path, Status status);

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

class SafeReplace {
 public:
  // A replace refused with a sharing violation or access denied is tried this
  // often in all, with a pause between tries: virus scanners hold a freshly
  // closed file briefly, and Windows and Wine report that either way.
  static constexpr int kReplaceAttempts = 5;
  static constexpr unsigned kReplacePauseMs = 200;

  SafeReplace(FileSystem& files, Clock& clock) : files_(files), clock_(clock) {}

  // Makes `bytes` the content of `path` by way of `temp_path` (beside it).
  // `path` need not exist.
  SaveOutcome Save(const std::string& path, const std::string& temp_path, const std::string& bytes);
  // The same for content made a piece at a time: it goes to the temporary
  // file through one buffer of kWriteBuffer bytes, so a large file is never
  // held whole a second time; a piece at least that large is written as it is.
  static constexpr size_t kWriteBuffer = 1 << 20;
  SaveOutcome Save(const std::string& path, const std::string& temp_path, const SaveProducer& produce);
  // Makes the file `source` the content of `path`, by way of a copy to
  // `temp_path`: a large file is copied by the system, never read.
  SaveOutcome CopyOver(const std::string& source, const std::string& path, const std::string& temp_path);

 private:
  SaveOutcome Finish(const std::string& path, const std::string& temp_path, OutputFilePtr temp, Status written);
  Status ReplaceWithRetry(const std::string& temp_path, const std::string& path);

  FileSystem& files_;
  Clock& clock_;
};

}  // namespace pw
