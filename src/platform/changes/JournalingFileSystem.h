// The files with every first change of a file or folder announced to a
// ChangeJournal before it is made.
#pragma once

#include <set>
#include <string>

#include "platform/ForwardingFileSystem.h"
#include "platform/changes/ChangeJournal.h"

namespace pw {

class JournalingFileSystem : public ForwardingFileSystem {
 public:
  JournalingFileSystem(FileSystem& target, ChangeJournal& journal) : ForwardingFileSystem(target), journal_(journal) {}

  Status OpenAppend(const std::string& path, OutputFilePtr* out) override;
  Status OpenNew(const std::string& path, OutputFilePtr* out) override;
  Status Replace(const std::string& from, const std::string& to) override;
  Status Remove(const std::string& path) override;
  Status MakeFolder(const std::string& path) override;
  Status RemoveFolder(const std::string& path) override;
  Status Copy(const std::string& from, const std::string& to) override;

 private:
  Status KeepFile(const std::string& path);
  Status KeepFolder(const std::string& path);

  ChangeJournal& journal_;
  std::set<std::string> kept_;  // by upper-cased path with backslashes
};

}  // namespace pw
