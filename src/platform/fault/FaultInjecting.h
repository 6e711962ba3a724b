// Forwarding wrappers that make chosen calls of any backend fail (see FaultPlan).
#pragma once

#include "platform/ForwardingFileSystem.h"
#include "platform/ForwardingRegistry.h"
#include "platform/fault/FaultPlan.h"

namespace pw {

class FaultInjectingRegistry : public ForwardingRegistry {
 public:
  FaultInjectingRegistry(Registry& target, FaultPlan& plan) : ForwardingRegistry(target), plan_(plan) {}
  Status OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status DeleteKey(RegRoot root, const std::string& path) override;

 private:
  FaultPlan& plan_;
};

class FaultInjectingFileSystem : public ForwardingFileSystem {
 public:
  FaultInjectingFileSystem(FileSystem& target, FaultPlan& plan) : ForwardingFileSystem(target), plan_(plan) {}
  Status ReadAll(const std::string& path, std::string* bytes) override;
  Status ReadAttributes(const std::string& path, FileAttributes* attributes) override;
  Status OpenAppend(const std::string& path, OutputFilePtr* out) override;
  Status OpenNew(const std::string& path, OutputFilePtr* out) override;
  Status Replace(const std::string& from, const std::string& to) override;
  Status Remove(const std::string& path) override;
  Status MakeFolder(const std::string& path) override;
  Status RemoveFolder(const std::string& path) override;
  Status List(const std::string& pattern, std::vector<std::string>* names) override;
  Status Copy(const std::string& from, const std::string& to) override;

 private:
  FaultPlan& plan_;
};

// "HKCU\path" and so on: the name a FaultPlan uses for a registry key.
std::string FaultKeyName(RegRoot root, const std::string& path);

}  // namespace pw
