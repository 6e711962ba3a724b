#include "clients/files/EudoraAccountLookup.h"

#include <algorithm>

#include "clients/files/EudoraAccountWriter.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kDominant[] = "Settings";

}  // namespace

std::optional<std::string> EudoraAccountLookup::DefaultAccount() {
  const EudoraIni* ini = Settings();
  if (!ini || !ini->FindPersonality(kDominant)) return std::nullopt;
  return std::string(kDominant);
}

std::vector<std::string> EudoraAccountLookup::Accounts() {
  std::vector<std::string> sections;
  const EudoraIni* ini = Settings();
  if (!ini) return sections;
  for (const EudoraPersonality& personality : ini->Personalities()) sections.push_back(personality.section);
  return sections;
}

// The first Eudora.ini that is there, as the writer looks for it; none when
// it cannot be read.
const EudoraIni* EudoraAccountLookup::Settings() {
  if (read_) return ini_ ? &*ini_ : nullptr;
  read_ = true;
  for (const std::string& path : EudoraSettingsPaths(registry_, environment_, program_)) {
    std::string bytes;
    const Status s = files_.ReadAll(path, &bytes);
    if (IsMissing(s)) continue;
    if (s) break;
    ini_.emplace(EudoraIni::Read(std::move(bytes)));
    break;
  }
  return ini_ ? &*ini_ : nullptr;
}

std::optional<std::string> EudoraAccountLookup::Text(const std::string& account_key, Field field) {
  // Only a personality is an account: a section [Personalities] does not list is none.
  const std::vector<std::string> sections = Accounts();
  if (std::none_of(sections.begin(), sections.end(),
                   [&](const std::string& section) { return EqualsNoCase(section, account_key); }))
    return std::nullopt;
  switch (field) {
    case Field::kAddress: return Value(account_key, "ReturnAddress");
    case Field::kDisplayName: return Value(account_key, "RealName");
    case Field::kIncomingServer: break;
  }
  const std::optional<std::string> server = Value(account_key, "PopServer");
  if (server && !server->empty()) return server;
  const std::optional<std::string> account = Value(account_key, "POPAccount");
  if (!account || account->find('@') == std::string::npos) return server;
  return account->substr(account->rfind('@') + 1);
}

// Eudora keeps its settings in the system's ANSI code page.
std::optional<std::string> EudoraAccountLookup::Value(const std::string& section, const char* key) {
  const std::optional<std::string> value = Settings()->Value(section, key);
  if (!value) return std::nullopt;
  return environment_.FromAnsiCodePage(*value);
}

}  // namespace pw
