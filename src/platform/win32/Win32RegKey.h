// An open registry key; the handle is closed when the object goes.
#pragma once

#include <windows.h>

#include "platform/Registry.h"

namespace pw {

class Win32RegKey : public RegKey {
 public:
  explicit Win32RegKey(HKEY key) : key_(key) {}
  ~Win32RegKey() override;

  Status QueryValue(const std::string& name, RegValue* out) override;
  Status SetValue(const std::string& name, uint32_t type, const std::string& data) override;
  Status DeleteValue(const std::string& name) override;
  Status EnumSubkey(uint32_t index, std::string* name) override;
  Status CountSubkeys(uint32_t* count) override;
  Status CountValues(uint32_t* count) override;

 private:
  HKEY key_;
};

}  // namespace pw
