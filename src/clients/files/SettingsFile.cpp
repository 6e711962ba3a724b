#include "clients/files/SettingsFile.h"

namespace pw {

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
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
  return std::string(verb) + " " + path + " failed with error code " + std::to_string(status) + ".";
}

SaveOutcome SettingsFile::Save(const std::string& path, const std::string& temp_path, const std::string& bytes) {
  OutputFilePtr temp;
  // A temporary file that could not be created is not ours to remove.
  if (Status s = files_.OpenNew(temp_path, &temp)) return {s, SaveStep::kCreate, temp_path};

  SaveOutcome outcome;
  if (Status s = temp->Write(bytes)) {
    outcome = {s, SaveStep::kWrite, temp_path};
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

Status SettingsFile::ReplaceWithRetry(const std::string& temp_path, const std::string& path) {
  Status s = files_.Replace(temp_path, path);
  for (int attempt = 1; s == err::kSharingViolation && attempt < kReplaceAttempts; ++attempt) {
    clock_.Pause(kReplacePauseMs);
    s = files_.Replace(temp_path, path);
  }
  return s;
}

}  // namespace pw
