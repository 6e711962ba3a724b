#include "platform/changes/JournalingFileSystem.h"

#include "platform/Text.h"

namespace pw {

Status JournalingFileSystem::KeepFile(const std::string& path) {
  if (kept_.count(FilePathIdentity(path))) return err::kSuccess;
  if (Status s = journal_.KeepFile(path)) return s;
  kept_.insert(FilePathIdentity(path));
  return err::kSuccess;
}

Status JournalingFileSystem::KeepFolder(const std::string& path) {
  if (kept_.count(FilePathIdentity(path))) return err::kSuccess;
  FileAttributes attributes;
  if (Status s = journal_.KeepFolder(path, target().ReadAttributes(path, &attributes) == err::kSuccess)) return s;
  kept_.insert(FilePathIdentity(path));
  return err::kSuccess;
}

Status JournalingFileSystem::OpenAppend(const std::string& path, OutputFilePtr* out) {
  if (Status s = KeepFile(path)) return s;
  return ForwardingFileSystem::OpenAppend(path, out);
}

Status JournalingFileSystem::OpenNew(const std::string& path, OutputFilePtr* out) {
  if (Status s = KeepFile(path)) return s;
  return ForwardingFileSystem::OpenNew(path, out);
}

Status JournalingFileSystem::Replace(const std::string& from, const std::string& to) {
  if (Status s = KeepFile(to)) return s;
  if (Status s = KeepFile(from)) return s;
  return ForwardingFileSystem::Replace(from, to);
}

Status JournalingFileSystem::Remove(const std::string& path) {
  if (Status s = KeepFile(path)) return s;
  return ForwardingFileSystem::Remove(path);
}

Status JournalingFileSystem::MakeFolder(const std::string& path) {
  if (Status s = KeepFolder(path)) return s;
  return ForwardingFileSystem::MakeFolder(path);
}

Status JournalingFileSystem::RemoveFolder(const std::string& path) {
  if (Status s = KeepFolder(path)) return s;
  return ForwardingFileSystem::RemoveFolder(path);
}

Status JournalingFileSystem::Copy(const std::string& from, const std::string& to) {
  if (Status s = KeepFile(to)) return s;
  return ForwardingFileSystem::Copy(from, to);
}

}  // namespace pw
