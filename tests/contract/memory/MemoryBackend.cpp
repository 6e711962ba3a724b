#include "contract/ContractBackend.h"
#include "platform/memory/MemoryPlatform.h"

namespace pw {

namespace {

struct MemoryContractBackend : ContractBackend {
  MemoryPlatform platform;
  int scratch = 0;

  MemoryContractBackend() {
    platform.environment.SetShellAppData("C:\\Users\\contract\\AppData\\Roaming");
    platform.environment.SetShellLocalAppData("C:\\Users\\contract\\AppData\\Local");
    platform.files.PutFolder("C:\\Users\\contract\\AppData\\Roaming");
    platform.files.PutFolder("C:\\Users\\contract\\AppData\\Local");
  }

  Platform View() override { return platform.View(); }

  std::string ScratchFolder() override {
    const std::string folder = "C:\\scratch" + std::to_string(++scratch);
    platform.files.PutFolder(folder);
    return folder;
  }

  std::string ScratchKey() override { return "Software\\PostwrightContract\\Run" + std::to_string(++scratch); }

  void MakeReadOnly(const std::string& path) override { platform.files.SetReadOnly(path); }

  void DenyWrite(const std::string& key) override { platform.registry.DenyWrite(RegRoot::kCurrentUser, key); }

  void DenyAccess(const std::string& key) override { platform.registry.DenyAccess(RegRoot::kCurrentUser, key); }

  std::string DummyProgram(const std::string& exe_name) override {
    const std::string path = ScratchFolder() + "\\" + exe_name;
    platform.files.PutFile(path, "MZ");
    return path;
  }

  void SetVariable(const std::string& name, const std::string& value) override {
    platform.environment.Set(name, value);
  }

  void UnsetVariable(const std::string& name) override { platform.environment.Unset(name); }
};

}  // namespace

ContractBackend& Backend() {
  static MemoryContractBackend backend;
  return backend;
}

}  // namespace pw
