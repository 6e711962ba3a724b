#include "clients/registry/OutlookProfileAccountWriter.h"

#include <algorithm>

#include "app/ProviderSettings.h"
#include "clients/registry/OutlookProfileStore.h"
#include "clients/registry/OutlookProfiles.h"
#include "clients/registry/RegistryUndo.h"
#include "clients/registry/SaveWithUndo.h"
#include "platform/Text.h"

namespace pw {

namespace {

// Where the accounts go when the default profile has no account store.
const char kFallbackProfile[] = "Outlook";
// The account order is rebuilt for at most this many account keys.
constexpr size_t kMostAccountKeys = 50;

const char kEmail[] = "Email";

AccountValue ProfileTextValue(const std::string& name, const std::string& text) {
  return AccountValue{name, regtype::kBinary, ProfileTextBytes(text), text};
}

// The thirteen values of an account, in the order they are written.
AccountValues ProfileAccountValues(const std::string& account_name, const std::string& address,
                                   const std::string& display_name) {
  const std::string clsid = "{ED475411-B0D6-11D2-8C3B-00104B2A6676}";
  AccountValue smtp_auth = DwordAccountValue("SMTP Use Auth", 1);
  smtp_auth.listed = false;
  return {
      ProfileTextValue("Account Name", account_name),
      AccountValue{"clsid", regtype::kSz, clsid + '\0', clsid},
      ProfileTextValue("Display Name", display_name),
      ProfileTextValue(kEmail, address),
      DwordAccountValue("Leave on Server", 0),
      DwordAccountValue("POP3 Port", kProvider.pop3_port),
      ProfileTextValue("POP3 Server", kProvider.pop3_host),
      DwordAccountValue("POP3 Use SSL", 1),
      ProfileTextValue("POP3 User", address),
      DwordAccountValue("SMTP Port", kProvider.smtp_port),
      smtp_auth,
      ProfileTextValue("SMTP Server", kProvider.smtp_host),
      DwordAccountValue("SMTP Use SSL", 1),
  };
}

// Outlook not set up yet, or its keys out of reach.
ConfigureResult ProfileFailure(Status status) {
  return status == err::kFileNotFound ? result::kNotRunYet : result::kProfileUnreadable;
}

Status ListKeys(RegKey& key, std::vector<std::string>* names) {
  uint32_t count = 0;
  if (Status status = key.CountSubkeys(&count)) return status;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    if (Status status = key.EnumSubkey(i, &name)) return status;
    names->push_back(name);
  }
  return err::kSuccess;
}

// A value's bytes; a missing value reads as none.
Status ReadOptional(RegKey& key, const std::string& name, RegValue* value) {
  const Status status = key.QueryValue(name, value);
  return status == err::kFileNotFound ? err::kSuccess : status;
}

// The change counter plus one: 8 bytes, little-endian. A missing counter
// counts as 0; a full low half carries into the high one.
Status NextChangeVer(RegKey& store, std::string* bytes) {
  RegValue value;
  if (Status status = ReadOptional(store, kLastChangeVer, &value)) return status;
  uint64_t counter = 0;
  for (size_t i = 0; i < 8 && i < value.data.size(); ++i)
    counter |= static_cast<uint64_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
  ++counter;
  bytes->clear();
  for (int i = 0; i < 8; ++i) *bytes += static_cast<char>((counter >> (8 * i)) & 0xff);
  return err::kSuccess;
}

}  // namespace

OutlookProfileAccountWriter::OutlookProfileAccountWriter(const AccountRequest& request,
                                                         const AutomaticPrefix& automatic_prefix, Registry& registry,
                                                         RunLog& log)
    : OutlookProfileAccountWriter(request, automatic_prefix, kFirstOutlookWithOwnProfiles - 1, registry, log) {}

OutlookProfileAccountWriter::OutlookProfileAccountWriter(const AccountRequest& request,
                                                         const AutomaticPrefix& automatic_prefix,
                                                         int outlook_version, Registry& registry, RunLog& log)
    : registry_(registry),
      log_(log),
      request_(request),
      automatic_prefix_(automatic_prefix),
      keys_(ProfileKeysOf(outlook_version)) {}

ConfigureResult OutlookProfileAccountWriter::Configure() {
  if (AsksForProfileAtStart(registry_)) return result::kNoDefaultProfile;
  std::string profile;
  if (const Status status = ReadDefaultProfile(registry_, keys_, &profile)) return ProfileFailure(status);
  log_.Line("Starting Outlook configuration...");

  RegKeyPtr store;
  std::string store_path;
  if (const Status status = OpenAccountStore(profile, &store, &store_path)) return ProfileFailure(status);

  log_ << "Searching for existant " << request_.address << " account ... ";
  std::vector<std::string> keys;
  if (const Status status = ListKeys(*store, &keys)) {
    log_.EndLine();
    return UnableToRead(status, log_);
  }
  const bool automatic = automatic_prefix_.has_value();
  const std::optional<std::string> found = FindAccount(store_path, keys);

  Change change;
  if (found) {
    if (!request_.overwrite) {
      log_.Line(automatic ? " found. Quitting." : " found. No changes will be made.");
      return automatic ? result::kIdenticalAutomatic : result::kAlreadyExists;
    }
    log_.Line(" found. Reseting settings to defaults.");
    change.key_name = *found;
    if (request_.make_default) {
      change.order.emplace();
      if (!OrderWithDefaultFirst(store_path, keys, *found, &*change.order)) return result::kUnableToConfigure;
    }
  } else {
    log_.Line("not found. Creating new account.");
    if (const Status status = NewAccount(*store, keys, &change)) return UnableToRead(status, log_);
  }

  const AccountValues values = ProfileAccountValues(AccountName(), request_.address, request_.display_name);
  if (const ConfigureResult saved = Save(*store, store_path, change, values)) return saved;

  log_.BlankLine();
  log_.Line("The following settings were written/overwritten in the system registry:");
  log_.BlankLine();
  LogAccountValues(values, log_);
  log_.BlankLine();
  return result::kConfigured;
}

// The default profile's store, else the store of the profile named Outlook.
// The answer is the last open's.
Status OutlookProfileAccountWriter::OpenAccountStore(const std::string& profile, RegKeyPtr* store,
                                                     std::string* store_path) {
  // No default profile named: its store would be the profiles key's own subkey.
  if (!profile.empty()) {
    *store_path = ProfileAccountStorePath(keys_, profile);
    if (registry_.OpenKey(RegRoot::kCurrentUser, *store_path, RegAccess::kAllAccess, store) == err::kSuccess)
      return err::kSuccess;
  }
  *store_path = ProfileAccountStorePath(keys_, kFallbackProfile);
  return registry_.OpenKey(RegRoot::kCurrentUser, *store_path, RegAccess::kAllAccess, store);
}

// Interactive: the first account whose "Email" is the address; automatic: the
// first whose "Account Name" is prefix + address. Letter case does not count.
std::optional<std::string> OutlookProfileAccountWriter::FindAccount(const std::string& store_path,
                                                                    const std::vector<std::string>& keys) {
  const char* compared = automatic_prefix_ ? "Account Name" : kEmail;
  for (const std::string& key_name : keys) {
    RegKeyPtr account;
    RegValue value;
    if (registry_.OpenKey(RegRoot::kCurrentUser, store_path + key_name + "\\", RegAccess::kAllAccess, &account) ||
        account->QueryValue(compared, &value))
      continue;
    if (SameProfileText(value.data, AccountName())) return key_name;
  }
  return std::nullopt;
}

// The account `key_name` first, then every other account (a key with an
// "Email" value) in registry order. False when there are more account keys
// than the order is rebuilt for.
bool OutlookProfileAccountWriter::OrderWithDefaultFirst(const std::string& store_path,
                                                        const std::vector<std::string>& keys,
                                                        const std::string& key_name, std::string* order) {
  *order = RegDwordBytes(AccountNumber(key_name));
  for (const std::string& other : keys) {
    RegKeyPtr account;
    RegValue email;
    if (other == key_name ||
        registry_.OpenKey(RegRoot::kCurrentUser, store_path + other + "\\", RegAccess::kAllAccess, &account) ||
        account->QueryValue(kEmail, &email))
      continue;
    if (keys.size() > kMostAccountKeys) return false;
    *order += RegDwordBytes(AccountNumber(other));
  }
  return true;
}

// The number "NextAccountID" gives, or without it the highest account number
// + 1; never one another account's key already has. The new account goes in
// front of the order when it is to be the default, else at its end.
Status OutlookProfileAccountWriter::NewAccount(RegKey& store, const std::vector<std::string>& keys, Change* change) {
  RegValue next;
  RegValue order;
  if (Status status = ReadOptional(store, kNextAccountId, &next)) return status;
  if (Status status = ReadOptional(store, kAccountOrder, &order)) return status;

  // A stray tail shorter than an entry is no account: the client reads whole
  // entries, so a new one appended behind the tail would be read out of step.
  order.data.resize(order.data.size() / 4 * 4);

  uint32_t number = 1;
  if (next.type == regtype::kDword && next.data.size() == 4) {
    number = StoredNumber(next.data);
  } else {
    for (const std::string& key_name : keys) number = std::max(number, AccountNumber(key_name) + 1);
  }
  const auto taken = [&](uint32_t candidate) {
    for (const std::string& key_name : keys)
      if (EqualsNoCase(key_name, AccountKeyName(candidate))) return true;
    return false;
  };
  while (taken(number)) ++number;

  change->key_name = AccountKeyName(number);
  change->order = request_.make_default ? RegDwordBytes(number) + order.data : order.data + RegDwordBytes(number);
  change->next_account_id = number + 1;
  return err::kSuccess;
}

// The account's key and the store's bookkeeping change together or not at all.
ConfigureResult OutlookProfileAccountWriter::Save(RegKey& store, const std::string& store_path, const Change& change,
                                                  const AccountValues& values) {
  const std::string key_path = store_path + change.key_name + "\\";
  std::string change_ver;
  RegistryUndo undo(registry_);
  undo.RememberKey(RegRoot::kCurrentUser, key_path);
  Status remembered = undo.RememberValues(RegRoot::kCurrentUser, key_path, AccountValueNames(values));
  if (!remembered)
    remembered =
        undo.RememberValues(RegRoot::kCurrentUser, store_path, {kNextAccountId, kAccountOrder, kLastChangeVer});
  if (!remembered) remembered = NextChangeVer(store, &change_ver);
  return SaveWithUndo(
      undo, remembered,
      [&]() -> Status {
        if (change.order)
          if (Status status = store.SetValue(kAccountOrder, regtype::kBinary, *change.order)) return status;
        if (change.next_account_id)
          if (Status status = store.SetValue(kNextAccountId, regtype::kDword, RegDwordBytes(*change.next_account_id)))
            return status;
        RegKeyPtr account;
        if (Status status = registry_.CreateKey(RegRoot::kCurrentUser, key_path, RegAccess::kAllAccess, &account))
          return status;
        if (Status status = WriteAccountValues(*account, values)) return status;
        return store.SetValue(kLastChangeVer, regtype::kBinary, change_ver);
      },
      log_);
}

}  // namespace pw
