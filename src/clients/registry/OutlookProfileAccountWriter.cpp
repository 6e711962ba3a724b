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
Failure ProfileFailure(Status status) {
  return Failure{status == err::kFileNotFound ? result::kNotRunYet : result::kProfileUnreadable, {}};
}

const WriterWording kWording = {
    "Searching for existant ", false, " ", "", "Reseting", false,
    "The following settings were written/overwritten in the system registry:", false, true, true,
};

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
    : ConfigureSkeleton(request, automatic_prefix, log, kWording),
      registry_(registry),
      keys_(ProfileKeysOf(outlook_version)) {}

StepResult OutlookProfileAccountWriter::Open() {
  if (AsksForProfileAtStart(registry_)) return Failure{result::kNoDefaultProfile, {}};
  std::string profile;
  if (const Status status = ReadDefaultProfile(registry_, keys_, &profile)) return ProfileFailure(status);
  log_.Line("Starting Outlook configuration...");
  if (const Status status = OpenAccountStore(profile, &store_, &store_path_)) return ProfileFailure(status);
  return std::nullopt;
}

StepResult OutlookProfileAccountWriter::Find(bool* found) {
  if (const Status status = ListSubkeys(*store_, &accounts_)) return UnableToRead(status);
  found_ = FindAccount();
  *found = found_.has_value();
  return std::nullopt;
}

StepResult OutlookProfileAccountWriter::Rewrite() {
  change_.key_name = *found_;
  if (request_.make_default) {
    change_.order.emplace();
    if (!OrderWithDefaultFirst(*found_, &*change_.order)) return Failure{result::kUnableToConfigure, {}};
  }
  return std::nullopt;
}

StepResult OutlookProfileAccountWriter::Add() {
  if (const Status status = NewAccount()) return UnableToRead(status);
  return std::nullopt;
}

std::vector<std::string> OutlookProfileAccountWriter::Report() { return AccountValueLines(Values()); }

AccountValues OutlookProfileAccountWriter::Values() const {
  return ProfileAccountValues(AccountName(), request_.address, request_.display_name);
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
std::optional<std::string> OutlookProfileAccountWriter::FindAccount() {
  const char* compared = automatic() ? "Account Name" : kEmail;
  for (const std::string& key_name : accounts_) {
    RegKeyPtr account;
    RegValue value;
    if (registry_.OpenKey(RegRoot::kCurrentUser, store_path_ + key_name + "\\", RegAccess::kAllAccess, &account) ||
        account->QueryValue(compared, &value))
      continue;
    if (SameProfileText(value.data, AccountName())) return key_name;
  }
  return std::nullopt;
}

// The account `key_name` first, then every other account (a key with an
// "Email" value) in registry order. False when there are more account keys
// than the order is rebuilt for.
bool OutlookProfileAccountWriter::OrderWithDefaultFirst(const std::string& key_name, std::string* order) {
  *order = RegDwordBytes(AccountNumber(key_name));
  for (const std::string& other : accounts_) {
    RegKeyPtr account;
    RegValue email;
    if (other == key_name ||
        registry_.OpenKey(RegRoot::kCurrentUser, store_path_ + other + "\\", RegAccess::kAllAccess, &account) ||
        account->QueryValue(kEmail, &email))
      continue;
    if (accounts_.size() > kMostAccountKeys) return false;
    *order += RegDwordBytes(AccountNumber(other));
  }
  return true;
}

// The number "NextAccountID" gives, or without it the highest account number
// + 1; never one another account's key already has. The new account goes in
// front of the order when it is to be the default, else at its end.
Status OutlookProfileAccountWriter::NewAccount() {
  RegValue next;
  RegValue order;
  if (Status status = ReadOptional(*store_, kNextAccountId, &next)) return status;
  if (Status status = ReadOptional(*store_, kAccountOrder, &order)) return status;

  // A stray tail shorter than an entry is no account: the client reads whole
  // entries, so a new one appended behind the tail would be read out of step.
  order.data.resize(order.data.size() / 4 * 4);

  uint32_t number = 1;
  if (next.type == regtype::kDword && next.data.size() == 4) {
    number = StoredNumber(next.data);
  } else {
    for (const std::string& key_name : accounts_) number = std::max(number, AccountNumber(key_name) + 1);
  }
  const auto taken = [&](uint32_t candidate) {
    for (const std::string& key_name : accounts_)
      if (EqualsNoCase(key_name, AccountKeyName(candidate))) return true;
    return false;
  };
  while (taken(number)) ++number;

  change_.key_name = AccountKeyName(number);
  change_.order = request_.make_default ? RegDwordBytes(number) + order.data : order.data + RegDwordBytes(number);
  change_.next_account_id = number + 1;
  return err::kSuccess;
}

// The account's key and the store's bookkeeping change together or not at all.
StepResult OutlookProfileAccountWriter::Save() {
  RegKey& store = *store_;
  const std::string& store_path = store_path_;
  const Change& change = change_;
  const AccountValues values = Values();
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
      });
}

}  // namespace pw
