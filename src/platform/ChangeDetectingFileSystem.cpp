#include "platform/ChangeDetectingFileSystem.h"

#include "platform/Text.h"

namespace pw {

namespace {
std::string Canonical(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return AsciiUpper(path);
}
}  // namespace

// FNV-1a over the bytes, carried on across pieces.
void ChangeDetectingFileSystem::Fingerprint::Add(const std::string& bytes) {
  size += bytes.size();
  uint64_t h = hash;
  for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ULL;
  hash = h;
}

ChangeDetectingFileSystem::Fingerprint ChangeDetectingFileSystem::Of(const std::string& bytes) {
  Fingerprint fingerprint;
  fingerprint.hash = 0xcbf29ce484222325ULL;
  fingerprint.Add(bytes);
  return fingerprint;
}

// A new file that notes what is written into it.
class ChangeDetectingFileSystem::FingerprintingFile : public OutputFile {
 public:
  FingerprintingFile(OutputFilePtr inner, std::shared_ptr<Fingerprint> written)
      : inner_(std::move(inner)), written_(std::move(written)) {}
  Status Write(const std::string& bytes) override {
    const Status status = inner_->Write(bytes);
    // A failed write leaves the file's bytes unknown: the replace then reads it.
    if (status == err::kSuccess && written_->size != UINT64_MAX)
      written_->Add(bytes);
    else
      written_->size = UINT64_MAX;
    return status;
  }
  Status Flush() override { return inner_->Flush(); }
  Status Close() override { return inner_->Close(); }

 private:
  OutputFilePtr inner_;
  std::shared_ptr<Fingerprint> written_;
};

Status ChangeDetectingFileSystem::ReadAll(const std::string& path, std::string* bytes) {
  const Status status = inner_.ReadAll(path, bytes);
  if (status == err::kSuccess)
    seen_[Canonical(path)] = Of(*bytes);
  else if (IsMissing(status))
    seen_[Canonical(path)] = std::nullopt;
  return status;
}

Status ChangeDetectingFileSystem::Unchanged(const std::string& path) {
  const auto seen = seen_.find(Canonical(path));
  if (seen == seen_.end()) return err::kSuccess;
  std::string now;
  const Status status = inner_.ReadAll(path, &now);
  if (IsMissing(status)) return seen->second ? err::kFileChanged : err::kSuccess;
  if (status != err::kSuccess) return status;
  return seen->second && *seen->second == Of(now) ? err::kSuccess : err::kFileChanged;
}

void ChangeDetectingFileSystem::Remember(const std::string& path) {
  const auto seen = seen_.find(Canonical(path));
  if (seen == seen_.end()) return;
  std::string now;
  const Status status = inner_.ReadAll(path, &now);
  if (status == err::kSuccess)
    seen->second = Of(now);
  else if (IsMissing(status))
    seen->second = std::nullopt;
  else
    seen_.erase(seen);  // unknown now: the next read tells
}

Status ChangeDetectingFileSystem::ReadAttributes(const std::string& path, FileAttributes* attributes) {
  return inner_.ReadAttributes(path, attributes);
}

Status ChangeDetectingFileSystem::OpenAppend(const std::string& path, OutputFilePtr* out) {
  if (Status s = Unchanged(path)) return s;
  seen_.erase(Canonical(path));  // what goes in is not known here
  return inner_.OpenAppend(path, out);
}

Status ChangeDetectingFileSystem::OpenNew(const std::string& path, OutputFilePtr* out) {
  if (Status s = Unchanged(path)) return s;
  seen_.erase(Canonical(path));
  OutputFilePtr file;
  const Status status = inner_.OpenNew(path, &file);
  if (status != err::kSuccess) return status;
  auto written = std::make_shared<Fingerprint>(Of(std::string()));
  writing_[Canonical(path)] = written;
  *out = std::make_unique<FingerprintingFile>(std::move(file), std::move(written));
  return status;
}

Status ChangeDetectingFileSystem::Replace(const std::string& from, const std::string& to) {
  if (Status s = Unchanged(to)) return s;
  const Status status = inner_.Replace(from, to);
  if (status == err::kSuccess) {
    // The file now holds what this run wrote into `from`, when that is known.
    const auto written = writing_.find(Canonical(from));
    const auto seen = seen_.find(Canonical(to));
    if (written != writing_.end() && written->second->size != UINT64_MAX && seen != seen_.end())
      seen->second = *written->second;
    else
      Remember(to);
    seen_.erase(Canonical(from));
  }
  writing_.erase(Canonical(from));
  return status;
}

Status ChangeDetectingFileSystem::Remove(const std::string& path) {
  if (Status s = Unchanged(path)) return s;
  const Status status = inner_.Remove(path);
  if (status == err::kSuccess) Remember(path);
  return status;
}

Status ChangeDetectingFileSystem::MakeFolder(const std::string& path) { return inner_.MakeFolder(path); }

Status ChangeDetectingFileSystem::RemoveFolder(const std::string& path) { return inner_.RemoveFolder(path); }

Status ChangeDetectingFileSystem::List(const std::string& pattern, std::vector<std::string>* names) {
  return inner_.List(pattern, names);
}

}  // namespace pw
