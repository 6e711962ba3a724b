#include "clients/files/EudoraAccountLookup.h"

#include <algorithm>

#include "clients/files/EudoraAccountWriter.h"
#include "clients/files/SettingsFile.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kDominant[] = "Settings";

}  // namespace

EudoraAccountLookup::EudoraAccountLookup(Registry& registry, FileSystem& files, Environment& environment,
                                         std::string program)
    : registry_(registry), files_(files), environment_(environment), program_(std::move(program)) {}

std::optional<std::string> EudoraAccountLookup::GetDefAcct() {
  const EudoraIni* ini = Settings();
  if (!ini || !ini->FindPersonality(kDominant)) return std::nullopt;
  return std::string(kDominant);
}

std::optional<std::string> EudoraAccountLookup::FindAcctByText(const std::string& text) {
  for (const std::string& section : Personalities()) {
    const std::optional<std::string> address = GetAcctAddr(section);
    if (address && address->find(text) != std::string::npos) return section;
  }
  return std::nullopt;
}

std::optional<std::string> EudoraAccountLookup::GetAcctAddr(const std::optional<std::string>& account_key) {
  std::optional<std::string> address = Value(account_key, "ReturnAddress");
  if (address && address->empty()) return std::nullopt;
  return address;
}

std::optional<std::string> EudoraAccountLookup::GetAcctDisplayName(const std::optional<std::string>& account_key) {
  return Value(account_key, "RealName");
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

// [Settings] first, then every listed personality whose section is there.
std::vector<std::string> EudoraAccountLookup::Personalities() {
  std::vector<std::string> sections;
  const EudoraIni* ini = Settings();
  if (!ini) return sections;
  for (const EudoraPersonality& personality : ini->Personalities()) sections.push_back(personality.section);
  return sections;
}

std::optional<std::string> EudoraAccountLookup::Value(const std::optional<std::string>& account_key,
                                                      const char* key) {
  if (!account_key) return std::nullopt;
  const std::vector<std::string> sections = Personalities();
  // Only a personality is an account: a section [Personalities] does not list is none.
  const bool known = std::any_of(sections.begin(), sections.end(),
                                 [&](const std::string& section) { return EqualsNoCase(section, *account_key); });
  if (!known) return std::nullopt;
  // Eudora keeps its settings in the system's ANSI code page.
  const std::optional<std::string> value = Settings()->Value(*account_key, key);
  if (!value) return std::nullopt;
  return environment_.FromAnsiCodePage(*value);
}

}  // namespace pw
