#include "clients/files/ThunderbirdAccountLookup.h"

#include <algorithm>
#include <vector>

#include "app/AppDataFolder.h"
#include "clients/files/SettingsFile.h"
#include "clients/files/ThunderbirdPrefs.h"
#include "clients/files/ThunderbirdProfiles.h"

namespace pw {

ThunderbirdAccountLookup::ThunderbirdAccountLookup(Registry& registry, FileSystem& files, Environment& environment)
    : registry_(registry), files_(files), environment_(environment) {}

std::optional<std::string> ThunderbirdAccountLookup::GetDefAcct() {
  const std::optional<std::string> account = Text("mail.accountmanager.defaultaccount");
  const std::vector<std::string> accounts = Accounts();
  // Thunderbird loads only the listed accounts.
  if (!account || std::find(accounts.begin(), accounts.end(), *account) == accounts.end()) return std::nullopt;
  return account;
}

std::optional<std::string> ThunderbirdAccountLookup::FindAcctByText(const std::string& text) {
  for (const std::string& account : Accounts()) {
    const std::optional<std::string> address = GetAcctAddr(account);
    if (address && address->find(text) != std::string::npos) return account;
  }
  return std::nullopt;
}

std::optional<std::string> ThunderbirdAccountLookup::GetAcctAddr(const std::optional<std::string>& account_key) {
  std::optional<std::string> address = IdentityText(account_key, ".useremail");
  if (address && address->empty()) return std::nullopt;
  return address;
}

std::optional<std::string> ThunderbirdAccountLookup::GetAcctDisplayName(
    const std::optional<std::string>& account_key) {
  return IdentityText(account_key, ".fullName");
}

// The prefs.js of the profile the writer would write; nothing when there is
// no profile list, no chosen profile or no prefs.js.
const ThunderbirdAccountLookup::Prefs& ThunderbirdAccountLookup::Preferences() {
  if (read_) return prefs_;
  read_ = true;
  const std::optional<std::string> app_data = AppDataFolder(registry_, environment_);
  if (!app_data) return prefs_;
  const std::string thunderbird = *app_data + "\\Thunderbird";
  std::string bytes;
  if (files_.ReadAll(thunderbird + "\\profiles.ini", &bytes) != err::kSuccess) return prefs_;
  const DefaultProfile profile = FindDefaultProfilePath(SplitLines(bytes));
  if (!profile.found || files_.ReadAll(ProfileFolders(thunderbird, profile).back() + "\\prefs.js", &bytes))
    return prefs_;
  Pref pref;
  for (const std::string& line : SplitLines(bytes))
    if (ReadPrefLine(line, &pref)) prefs_[pref.name] = pref;
  return prefs_;
}

std::optional<std::string> ThunderbirdAccountLookup::Text(const std::string& name) {
  const Prefs& prefs = Preferences();
  const auto it = prefs.find(name);
  if (it == prefs.end() || !it->second.is_text) return std::nullopt;
  return it->second.value;
}

std::vector<std::string> ThunderbirdAccountLookup::Accounts() {
  const std::optional<std::string> list = Text("mail.accountmanager.accounts");
  return list ? PrefListItems(*list) : std::vector<std::string>();
}

// An account without a server is none Thunderbird can use, and the writer
// would not find it either.
std::optional<std::string> ThunderbirdAccountLookup::IdentityText(const std::optional<std::string>& account_key,
                                                                  const char* suffix) {
  if (!account_key) return std::nullopt;
  const std::vector<std::string> accounts = Accounts();
  if (std::find(accounts.begin(), accounts.end(), *account_key) == accounts.end()) return std::nullopt;
  const std::string account = "mail.account." + *account_key;
  const std::optional<std::string> identities = Text(account + ".identities");
  if (!Text(account + ".server") || !identities) return std::nullopt;
  const std::vector<std::string> items = PrefListItems(*identities);
  if (items.empty()) return std::nullopt;
  return Text("mail.identity." + items.front() + suffix);
}

}  // namespace pw
