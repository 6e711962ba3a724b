#include "clients/registry/OutlookAccountWriter.h"

#include "clients/registry/InternetAccountValues.h"
#include "clients/registry/MapiMailService.h"
#include "clients/registry/OutlookProfiles.h"
#include "clients/registry/SaveWithUndo.h"

namespace pw {

namespace {

const char kSetupKey[] = "Software\\Microsoft\\Office\\9.0\\Outlook\\Setup";

const WriterWording kWording = {
    "Searching for existant ", false, " ", "", "Reseting", true,
    "The following settings were written/overwritten in the system registry:", true, false, true,
};

}  // namespace

OutlookAccountWriter::OutlookAccountWriter(const AccountRequest& request, const AutomaticPrefix& automatic_prefix,
                                           Registry& registry, Mapi& mapi, StdOut& out, RunLog& log)
    : ConfigureSkeleton(request, automatic_prefix, log, kWording),
      registry_(registry),
      mapi_(mapi),
      out_(out),
      store_(kOutlookAccounts, registry, log) {}

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

// Outlook 2000 keeps the Internet account values, with a connection flag of
// its own (written, not listed) and a prompt for the POP3 password.
AccountValues OutlookAccountWriter::Values() const {
  AccountValues values = InternetAccountValues(AccountName(), request_.address, request_.display_name);
  AccountValue flags = DwordAccountValue("Connection Flags", 0);
  flags.listed = false;
  values.insert(values.begin() + 1, flags);
  *FindAccountValue(values, "POP3 Prompt for Password") = DwordAccountValue("POP3 Prompt for Password", 1);
  return values;
}

StepResult OutlookAccountWriter::Open() {
  corporate_workgroup_ = CorporateWorkgroupMode();
  if (corporate_workgroup_) {
    if (AsksForProfileAtStart(registry_)) return Failure{result::kNoDefaultProfile, {}};
    if (ReadDefaultProfile(registry_, &default_profile_)) return Failure{result::kProfileUnreadable, {}};
  }
  log_.Line("Default Mail Profile is : " + default_profile_);
  log_.Line("Starting Outlook configuration...");
  log_.BlankLine();
  return std::nullopt;
}

// A missing account root has no accounts; saving the first one makes it.
// Automatic mode looks only at key names: its own account is the one called
// prefix + address.
StepResult OutlookAccountWriter::Find(bool* found) {
  std::vector<std::string> accounts;
  const Status listed = store_.ListAccounts(&accounts);
  if (listed != err::kSuccess && listed != err::kFileNotFound) return UnableToRead(listed);
  target_ = automatic() ? store_.FindByName(accounts, AccountName())
                        : store_.FindByAddress(accounts, request_.address, false);
  *found = target_.exists;
  return std::nullopt;
}

std::vector<std::string> OutlookAccountWriter::Report() { return AccountValueLines(Values()); }

// In Corporate/Workgroup mode a new account also needs its service in the
// MAPI profile: without it the client cannot use the account, so when MAPI
// fails the account written is taken back and the run fails. Unlike Outlook
// Express, the first account is not made the default unasked.
StepResult OutlookAccountWriter::Save() {
  const bool needs_service = !target_.exists && corporate_workgroup_;
  RegistryUndo undo(registry_);
  if (needs_service) {
    undo.RememberKey(RegRoot::kCurrentUser, target_.key_path);
    if (request_.make_default) {
      if (const Status remembered =
              undo.RememberValues(RegRoot::kCurrentUser, kOutlookAccounts.account_manager, {kDefaultMailAccount}))
        return UnableToRead(remembered);
    }
  }
  if (StepResult failed = store_.Save(target_, Values(), request_.make_default)) return failed;
  if (!needs_service) return std::nullopt;

  log_.Line("Outlook is in Corporate/Workgroup Mode. Creating MAPI Internet Mail Profile...");
  if (AddMapiMailService(registry_, mapi_, out_, log_, default_profile_, request_.address, AccountName()))
    return std::nullopt;
  return Failure{result::kSaveFailed, {UndoLine(undo)}};
}

}  // namespace pw
