#include "clients/registry/OutlookAccountWriter.h"

#include "clients/registry/InternetAccountStore.h"
#include "clients/registry/InternetAccountValues.h"
#include "clients/registry/MapiMailService.h"
#include "clients/registry/OutlookProfiles.h"
#include "clients/registry/SaveWithUndo.h"

namespace pw {

namespace {

const char kSetupKey[] = "Software\\Microsoft\\Office\\9.0\\Outlook\\Setup";

// Outlook 2000 keeps the Internet account values, with a connection flag of
// its own (written, not listed) and a prompt for the POP3 password.
AccountValues OutlookAccountValues(const std::string& account_name, const std::string& address,
                                   const std::string& display_name) {
  AccountValues values = InternetAccountValues(account_name, address, display_name);
  AccountValue flags = DwordAccountValue("Connection Flags", 0);
  flags.listed = false;
  values.insert(values.begin() + 1, flags);
  *FindAccountValue(values, "POP3 Prompt for Password") = DwordAccountValue("POP3 Prompt for Password", 1);
  return values;
}

}  // namespace

OutlookAccountWriter::OutlookAccountWriter(const AccountRequest& request, const AutomaticPrefix& automatic_prefix,
                                           Registry& registry, Mapi& mapi, StdOut& out, RunLog& log)
    : registry_(registry), mapi_(mapi), out_(out), log_(log), request_(request), automatic_prefix_(automatic_prefix) {}

// The first data byte of the set-up value "MailSupport", whatever its type,
// says the mode: 1 is Corporate/Workgroup, anything else Internet Mail Only.
// A set-up key or value that cannot be read is taken for Internet Mail Only,
// which needs no profile: the account is still written, and no MAPI step is
// tried against a profile that may not be there.
bool OutlookAccountWriter::CorporateWorkgroupMode() {
  RegKeyPtr setup;
  RegValue mail_support;
  if (registry_.OpenKey(RegRoot::kCurrentUser, kSetupKey, RegAccess::kRead, &setup) != err::kSuccess ||
      setup->QueryValue("MailSupport", &mail_support) != err::kSuccess)
    return false;
  return !mail_support.data.empty() && mail_support.data[0] == 1;
}

ConfigureResult OutlookAccountWriter::Configure() {
  if (CorporateWorkgroupMode()) {
    if (AsksForProfileAtStart(registry_)) return result::kNoDefaultProfile;
    if (ReadDefaultProfile(registry_, &default_profile_)) return result::kProfileUnreadable;
  }
  log_.Line("Default Mail Profile is : " + default_profile_);
  log_.Line("Starting Outlook configuration...");
  log_.BlankLine();

  // A missing account root has no accounts; saving the first one makes it.
  InternetAccountStore store(kOutlookAccounts, registry_, log_);
  RegKeyPtr root;
  uint32_t count = 0;
  const Status opened = store.OpenRoot(&root, &count);
  log_ << "Searching for existant " << request_.address << " account ... ";
  if (opened != err::kSuccess && opened != err::kFileNotFound) {
    log_.EndLine();
    return UnableToRead(opened, log_);
  }
  // Automatic mode looks only at key names: its own account is the one
  // called prefix + address.
  const bool automatic = automatic_prefix_.has_value();
  InternetAccountStore::Account target{false, kOutlookAccounts.AccountKeyPath(AccountName()), AccountName()};
  if (root)
    target = automatic ? store.FindByName(*root, count, AccountName())
                       : store.FindByAddress(*root, count, request_.address, false);
  root.reset();

  if (target.exists) {
    if (!request_.overwrite) {
      log_.Line(automatic ? " found. Quitting." : " found. No changes will be made.");
      return automatic ? result::kIdenticalAutomatic : result::kAlreadyExists;
    }
    log_.Line(" found. Reseting settings to defaults.");
  } else {
    log_.Line("not found. Creating new account.");
  }
  log_.BlankLine();

  const AccountValues values = OutlookAccountValues(AccountName(), request_.address, request_.display_name);
  log_.Line("The following settings were written/overwritten in the system registry:");
  log_.BlankLine();
  LogAccountValues(values, log_);
  log_.BlankLine();
  // In Corporate/Workgroup mode a new account also needs its service in the
  // MAPI profile: without it the client cannot use the account, so when MAPI
  // fails the account written is taken back and the run fails.
  const bool needs_service = !target.exists && CorporateWorkgroupMode();
  RegistryUndo undo(registry_);
  if (needs_service) {
    undo.RememberKey(RegRoot::kCurrentUser, target.key_path);
    if (request_.make_default) {
      if (const Status remembered =
              undo.RememberValues(RegRoot::kCurrentUser, kOutlookAccounts.account_manager, {kDefaultMailAccount}))
        return UnableToRead(remembered, log_);
    }
  }
  // Unlike Outlook Express, the first account is not made the default unasked.
  if (const ConfigureResult saved = store.Save(target, values, request_.make_default))
    return saved;
  if (!needs_service) return result::kConfigured;

  log_.Line("Outlook is in Corporate/Workgroup Mode. Creating MAPI Internet Mail Profile...");
  if (AddMapiMailService(registry_, mapi_, out_, log_, default_profile_, request_.address, AccountName()))
    return result::kConfigured;
  const Status undone = undo.Undo();
  log_.Line(undone ? "Unable to restore the previous settings (error code: " + std::to_string(undone) + ")."
                   : std::string("The previous settings were restored."));
  return result::kSaveFailed;
}

}  // namespace pw
