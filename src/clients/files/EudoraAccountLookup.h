// Finds an Eudora personality for automatic mode in Eudora.ini, read as
// Eudora reads it with the profile functions. The dominant personality
// ([Settings]) is the default account; the others are the sections that
// [Personalities] lists, in its order. An account's key is its section's name.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "clients/AccountLookup.h"
#include "clients/files/EudoraIni.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class EudoraAccountLookup : public AccountLookup {
 public:
  // `program` is Eudora's file name as App Paths registers it. The file is
  // read once, when first needed.
  EudoraAccountLookup(Registry& registry, FileSystem& files, Environment& environment, std::string program);

  // "Settings" when the file has that section.
  std::optional<std::string> GetDefAcct() override;
  // The first personality, [Settings] first, whose ReturnAddress contains `text`.
  std::optional<std::string> FindAcctByText(const std::string& text) override;
  // The personality's ReturnAddress; none when it has none.
  std::optional<std::string> GetAcctAddr(const std::optional<std::string>& account_key) override;
  // The personality's RealName.
  std::optional<std::string> GetAcctDisplayName(const std::optional<std::string>& account_key) override;

 private:
  const EudoraIni* Settings();
  std::vector<std::string> Personalities();
  std::optional<std::string> Value(const std::optional<std::string>& account_key, const char* key);

  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
  std::string program_;
  bool read_ = false;
  std::optional<EudoraIni> ini_;
};

}  // namespace pw
