#include "contract/ContractBackend.h"
#include "platform/memory/MemoryPlatform.h"

namespace pw {

namespace {
struct MemoryContractBackend : ContractBackend {
  MemoryPlatform platform;
  int scratch = 0;
  Platform View() override { return platform.View(); }
  std::string ScratchFolder() override {
    const std::string folder = "C:\\scratch" + std::to_string(++scratch);
    platform.files.PutFolder(folder);
    return folder;
  }
  std::string ScratchKey() override { return "Software\\PostwrightContract\\Run" + std::to_string(++scratch); }
};
}  // namespace

ContractBackend& Backend() {
  static MemoryContractBackend backend;
  return backend;
}

}  // namespace pw
