#include "clients/files/ThunderbirdAccountLookup.h"

#include <algorithm>

#include "app/AppDataFolder.h"
#include "clients/files/SettingsLines.h"
#include "clients/files/ThunderbirdPrefNames.h"
#include "clients/files/ThunderbirdProfiles.h"

namespace pw {

std::optional<std::string> ThunderbirdAccountLookup::DefaultAccount() {
  const std::optional<std::string> account = StringPref("mail.accountmanager.defaultaccount");
  const std::vector<std::string> accounts = Accounts();
  if (!account || std::find(accounts.begin(), accounts.end(), *account) == accounts.end()) return std::nullopt;
  return account;
}

std::vector<std::string> ThunderbirdAccountLookup::Accounts() {
  const std::optional<std::string> list = StringPref("mail.accountmanager.accounts");
  return list ? ListItems(*list) : std::vector<std::string>();
}

// An account without a server is none Thunderbird can use, and the writer
// would not find it either.
std::optional<std::string> ThunderbirdAccountLookup::Text(const std::string& account_key, Field field) {
  const std::vector<std::string> accounts = Accounts();
  if (std::find(accounts.begin(), accounts.end(), account_key) == accounts.end()) return std::nullopt;
  const std::string account = "mail.account." + account_key;
  const std::optional<std::string> identities = StringPref(account + ".identities");
  const std::optional<std::string> server = StringPref(account + ".server");
  if (!server || !identities) return std::nullopt;
  const std::vector<std::string> items = ListItems(*identities);
  if (items.empty()) return std::nullopt;
  switch (field) {
    case Field::kAddress: return StringPref("mail.identity." + items.front() + ".useremail");
    case Field::kDisplayName: return StringPref("mail.identity." + items.front() + ".fullName");
    case Field::kIncomingServer: break;
  }
  return StringPref("mail.server." + *server + ".hostname");
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

std::optional<std::string> ThunderbirdAccountLookup::StringPref(const std::string& name) {
  const Prefs& prefs = Preferences();
  const auto it = prefs.find(name);
  if (it == prefs.end() || !it->second.is_text) return std::nullopt;
  return it->second.value;
}

}  // namespace pw
