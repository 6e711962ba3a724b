// Finds an Eudora personality for automatic mode in Eudora.ini, read as
// Eudora reads it with the profile functions. The dominant personality
// ([Settings]) is the default account; the others are the sections that
// [Personalities] lists, in its order. An account's key is its section's name.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "clients/files/EudoraIni.h"
#include "clients/files/FileAccountLookup.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class EudoraAccountLookup : public FileAccountLookup {
 public:
  // `program` is Eudora's file name as App Paths registers it. The file is
  // read once, when first needed.
  EudoraAccountLookup(Registry& registry, FileSystem& files, Environment& environment, std::string program)
      : registry_(registry), files_(files), environment_(environment), program_(std::move(program)) {}

 private:
  // "Settings" when the file has that section.
  std::optional<std::string> DefaultAccount() override;
  // [Settings] first, then every listed personality whose section is there.
  std::vector<std::string> Accounts() override;
  // ReturnAddress, RealName, and PopServer (else the host of POPAccount), in
  // the program's text: the file holds the system's code page.
  std::optional<std::string> Text(const std::string& account_key, Field field) override;
  const EudoraIni* Settings();
  std::optional<std::string> Value(const std::string& section, const char* key);

  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
  std::string program_;
  bool read_ = false;
  std::optional<EudoraIni> ini_;
};

}  // namespace pw
