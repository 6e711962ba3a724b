// The real registry through the wide functions of advapi32; names and text
// values are UTF-8 at the seam.
#pragma once

#include "platform/Registry.h"

namespace pw {

class Win32Registry : public Registry {
 public:
  Status OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status DeleteKey(RegRoot root, const std::string& path) override;
};

}  // namespace pw
