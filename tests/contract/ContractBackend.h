// The backend a contract run checks: the in-memory twin natively, the Win32
// backend under Wine. The suite states what both must do alike.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace pw {

struct ContractBackend {
  virtual ~ContractBackend() = default;
  virtual Platform View() = 0;
  // A folder the tests may fill, made empty and existing.
  virtual std::string ScratchFolder() = 0;
  // A registry path below HKEY_CURRENT_USER the tests may fill, made empty.
  virtual std::string ScratchKey() = 0;
};

ContractBackend& Backend();

}  // namespace pw
