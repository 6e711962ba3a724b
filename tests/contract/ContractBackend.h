// The backend a contract run checks: the in-memory twin natively, the Win32
// backend under Wine. The suite states what both must do alike; the few things
// a test must arrange outside the seam (protected keys, a program to start,
// the process environment) go through this interface.
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

  // Marks an existing file read-only, as the file's properties or attrib +r do.
  virtual void MakeReadOnly(const std::string& path) = 0;

  // Creates the key (below HKEY_CURRENT_USER) so that everyone may read it
  // but nobody may open it for writing.
  virtual void DenyWrite(const std::string& key) = 0;
  // Creates the key so that nobody may open it at all.
  virtual void DenyAccess(const std::string& key) = 0;

  // The full path of a program that, once started, runs until it is
  // terminated (at most a minute) and shows in the process snapshot under
  // `exe_name`.
  virtual std::string DummyProgram(const std::string& exe_name) = 0;

  // The environment of this process.
  virtual void SetVariable(const std::string& name, const std::string& value) = 0;
  virtual void UnsetVariable(const std::string& name) = 0;
};

ContractBackend& Backend();

}  // namespace pw
