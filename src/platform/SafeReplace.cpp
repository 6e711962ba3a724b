#include "platform/SafeReplace.h"

#include <algorithm>

namespace pw {

namespace {

bool IsBriefHold(Status s) { return s == err::kSharingViolation || s == err::kAccessDenied; }

}  // namespace

std::string DescribeFailure(const std::string& verb, const std::string& path, Status status) {
  return verb + " " + path + " failed with error code " + std::to_string(status) + ".";
}

std::string SaveOutcome::Describe() const {
  const char* verb = "Saving";
  switch (step) {
    case SaveStep::kNone: break;
    case SaveStep::kCreate: verb = "Creating"; break;
    case SaveStep::kWrite: verb = "Writing"; break;
    case SaveStep::kFlush: verb = "Flushing"; break;
    case SaveStep::kClose: verb = "Closing"; break;
    case SaveStep::kReplace: verb = "Replacing"; break;
  }
  return DescribeFailure(verb, path, status);
}

SaveOutcome SafeReplace::Save(const std::string& path, const std::string& temp_path, const std::string& bytes) {
  OutputFilePtr temp;
  // A temporary file that could not be created is not ours to remove.
  if (Status s = files_.OpenNew(temp_path, &temp)) return {s, SaveStep::kCreate, temp_path};
  const Status written = temp->Write(bytes);
  return Finish(path, temp_path, std::move(temp), written);
}

namespace {

// Hands the buffer to the file whenever it is full; after a failed write the
// rest is dropped and the failure kept.
class FileSink : public SaveSink {
 public:
  explicit FileSink(OutputFile& file) : file_(file) { buffer_.reserve(SafeReplace::kWriteBuffer); }
  // The buffer goes to the file whenever it is full; a piece at least as
  // large as the buffer, met with the buffer empty, goes as it is.
  void Append(std::string_view bytes) override {
    while (!status_ && !bytes.empty()) {
      if (buffer_.empty() && bytes.size() >= SafeReplace::kWriteBuffer) {
        status_ = file_.Write(bytes);
        return;
      }
      const size_t taken = std::min(SafeReplace::kWriteBuffer - buffer_.size(), bytes.size());
      buffer_.append(bytes.substr(0, taken));
      bytes.remove_prefix(taken);
      if (buffer_.size() == SafeReplace::kWriteBuffer) Drain();
    }
  }
  Status Finish() {
    if (!status_ && !buffer_.empty()) Drain();
    return status_;
  }

 private:
  void Drain() {
    status_ = file_.Write(buffer_);
    buffer_.clear();
  }

  OutputFile& file_;
  std::string buffer_;
  Status status_ = err::kSuccess;
};

}  // namespace

SaveOutcome SafeReplace::Save(const std::string& path, const std::string& temp_path, const SaveProducer& produce) {
  OutputFilePtr temp;
  if (Status s = files_.OpenNew(temp_path, &temp)) return {s, SaveStep::kCreate, temp_path};
  FileSink sink(*temp);
  produce(sink);
  const Status written = sink.Finish();
  return Finish(path, temp_path, std::move(temp), written);
}

SaveOutcome SafeReplace::Finish(const std::string& path, const std::string& temp_path, OutputFilePtr temp,
                                 Status written) {
  SaveOutcome outcome;
  if (written) {
    outcome = {written, SaveStep::kWrite, temp_path};
  } else if (Status s = temp->Flush()) {
    outcome = {s, SaveStep::kFlush, temp_path};
  } else if (Status s = temp->Close()) {
    outcome = {s, SaveStep::kClose, temp_path};
  } else if (Status s = ReplaceWithRetry(temp_path, path)) {
    outcome = {s, SaveStep::kReplace, path};
  }
  if (!outcome.ok()) {
    temp.reset();  // closes it if a step before Close failed
    // The failure is what the caller hears of; a temporary file that cannot
    // be removed either is left for the next save to overwrite.
    static_cast<void>(files_.Remove(temp_path));
  }
  return outcome;
}

SaveOutcome SafeReplace::CopyOver(const std::string& source, const std::string& path, const std::string& temp_path) {
  if (Status s = files_.Copy(source, temp_path)) {
    // A copy that failed halfway may have left the temporary file.
    static_cast<void>(files_.Remove(temp_path));
    return {s, SaveStep::kCreate, temp_path};
  }
  if (Status s = ReplaceWithRetry(temp_path, path)) {
    static_cast<void>(files_.Remove(temp_path));
    return {s, SaveStep::kReplace, path};
  }
  return {};
}

Status SafeReplace::ReplaceWithRetry(const std::string& temp_path, const std::string& path) {
  Status s = files_.Replace(temp_path, path);
  for (int attempt = 1; IsBriefHold(s) && attempt < kReplaceAttempts; ++attempt) {
    clock_.Pause(kReplacePauseMs);
    s = files_.Replace(temp_path, path);
  }
  return s;
}

}  // namespace pw
