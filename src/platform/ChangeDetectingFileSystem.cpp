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

Status ChangeDetectingFileSystem::ReadAll(const std::string& path, std::string* bytes) {
  const Status status = inner_.ReadAll(path, bytes);
  if (status == err::kSuccess)
    seen_[Canonical(path)] = *bytes;
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
  return seen->second && *seen->second == now ? err::kSuccess : err::kFileChanged;
}

void ChangeDetectingFileSystem::Remember(const std::string& path) {
  const auto seen = seen_.find(Canonical(path));
  if (seen == seen_.end()) return;
  std::string now;
  const Status status = inner_.ReadAll(path, &now);
  if (status == err::kSuccess)
    seen->second = now;
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
  return inner_.OpenNew(path, out);
}

Status ChangeDetectingFileSystem::Replace(const std::string& from, const std::string& to) {
  if (Status s = Unchanged(to)) return s;
  const Status status = inner_.Replace(from, to);
  if (status == err::kSuccess) {
    Remember(to);
    seen_.erase(Canonical(from));
  }
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
