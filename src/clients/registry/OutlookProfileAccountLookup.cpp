#include "clients/registry/OutlookProfileAccountLookup.h"

#include "clients/registry/OutlookProfileStore.h"
#include "clients/registry/OutlookProfiles.h"

namespace pw {

// The account order's first number names the default account's key. A
// lookup only reads: the store is opened, never made.
std::optional<std::string> OutlookProfileAccountLookup::GetDefAcct() {
  const std::optional<std::string> store_path = StorePath();
  RegKeyPtr store;
  RegValue order;
  if (!store_path || registry_.OpenKey(RegRoot::kCurrentUser, *store_path, RegAccess::kRead, &store) ||
      store->QueryValue(kAccountOrder, &order) || order.data.size() < 4)
    return std::nullopt;
  return AccountKeyName(StoredNumber(order.data));
}

// The first account, in registry order, whose address contains `text`
// (letter case counts).
std::optional<std::string> OutlookProfileAccountLookup::FindAcctByText(const std::string& text) {
  const std::optional<std::string> store_path = StorePath();
  RegKeyPtr store;
  uint32_t count = 0;
  if (!store_path || registry_.OpenKey(RegRoot::kCurrentUser, *store_path, RegAccess::kAllAccess, &store) ||
      store->CountSubkeys(&count))
    return std::nullopt;
  std::vector<std::string> accounts;
  static_cast<void>(ListSubkeys(*store, &accounts));  // an account whose name cannot be read is none
  for (const std::string& name : accounts) {
    const std::optional<std::string> address = StoredText(*store_path, name, "Email");
    if (address && address->find(text) != std::string::npos) return name;
  }
  return std::nullopt;
}

std::optional<std::string> OutlookProfileAccountLookup::GetAcctAddr(const std::optional<std::string>& account_key) {
  return AccountText(account_key, "Email");
}

std::optional<std::string> OutlookProfileAccountLookup::GetAcctDisplayName(
    const std::optional<std::string>& account_key) {
  return AccountText(account_key, "Display Name");
}

std::optional<std::string> OutlookProfileAccountLookup::StorePath() {
  std::string profile;
  if (ReadDefaultProfile(registry_, keys_, &profile) || profile.empty()) return std::nullopt;
  return ProfileAccountStorePath(keys_, profile);
}

std::optional<std::string> OutlookProfileAccountLookup::AccountText(const std::optional<std::string>& account_key,
                                                                    const std::string& name) {
  const std::optional<std::string> store_path = StorePath();
  if (!store_path || !account_key) return std::nullopt;
  return StoredText(*store_path, *account_key, name);
}

// None when the account's key cannot be opened; a value that cannot be read
// is the empty text.
std::optional<std::string> OutlookProfileAccountLookup::StoredText(const std::string& store_path,
                                                                   const std::string& key_name,
                                                                   const std::string& name) {
  RegKeyPtr account;
  if (registry_.OpenKey(RegRoot::kCurrentUser, store_path + key_name + "\\", RegAccess::kAllAccess, &account))
    return std::nullopt;
  return ReadProfileText(*account, name);
}

}  // namespace pw
