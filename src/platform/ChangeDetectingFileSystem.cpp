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

Status ChangeDetectingFileSystem::StampOf(const std::string& path, std::optional<Stamp>* stamp) {
  FileAttributes attributes;
  const Status status = target().ReadAttributes(path, &attributes);
  if (IsMissing(status)) {
    stamp->reset();
    return err::kSuccess;
  }
  if (status == err::kSuccess) *stamp = Stamp{attributes.size, attributes.last_write};
  return status;
}

Status ChangeDetectingFileSystem::ReadAll(const std::string& path, std::string* bytes) {
  std::optional<Stamp> before;
  const Status stamped = StampOf(path, &before);
  const Status status = target().ReadAll(path, bytes);
  if (status == err::kSuccess) {
    // A file that could not be stamped, or appeared between the stamp and the
    // read, is taken as changed by the next check.
    Stamp seen = before.value_or(Stamp());
    seen.known = stamped == err::kSuccess && before.has_value();
    seen_[Canonical(path)] = seen;
  } else if (IsMissing(status)) {
    seen_[Canonical(path)] = std::nullopt;
  }
  return status;
}

Status ChangeDetectingFileSystem::Unchanged(const std::string& path) {
  const auto seen = seen_.find(Canonical(path));
  if (seen == seen_.end()) return err::kSuccess;
  std::optional<Stamp> now;
  if (Status s = StampOf(path, &now)) return s;
  if (!seen->second) return now ? err::kFileChanged : err::kSuccess;
  return now && *now == *seen->second ? err::kSuccess : err::kFileChanged;
}

Status ChangeDetectingFileSystem::OpenAppend(const std::string& path, OutputFilePtr* out) {
  if (Status s = Unchanged(path)) return s;
  seen_.erase(Canonical(path));  // what goes in is not known here
  return target().OpenAppend(path, out);
}

Status ChangeDetectingFileSystem::OpenNew(const std::string& path, OutputFilePtr* out) {
  if (Status s = Unchanged(path)) return s;
  seen_.erase(Canonical(path));
  return target().OpenNew(path, out);
}

Status ChangeDetectingFileSystem::Replace(const std::string& from, const std::string& to) {
  if (Status s = Unchanged(to)) return s;
  // A move keeps the file's size and last-write time: after it, `to` holds
  // what `from` holds now.
  std::optional<Stamp> moved;
  const Status stamped = StampOf(from, &moved);
  const Status status = target().Replace(from, to);
  if (status == err::kSuccess) {
    const auto seen = seen_.find(Canonical(to));
    if (seen != seen_.end()) {
      if (stamped == err::kSuccess && moved)
        seen->second = *moved;
      else
        seen_.erase(seen);  // unknown now: the next read tells
    }
    seen_.erase(Canonical(from));
  }
  return status;
}

Status ChangeDetectingFileSystem::Remove(const std::string& path) {
  if (Status s = Unchanged(path)) return s;
  const Status status = target().Remove(path);
  const auto seen = seen_.find(Canonical(path));
  if (status == err::kSuccess && seen != seen_.end()) seen->second = std::nullopt;
  return status;
}

Status ChangeDetectingFileSystem::Copy(const std::string& from, const std::string& to) {
  if (Status s = Unchanged(to)) return s;
  seen_.erase(Canonical(to));
  return target().Copy(from, to);
}

}  // namespace pw
