#include "clients/registry/OutlookExpressAccountWriter.h"

#include "clients/registry/InternetAccountValues.h"

namespace pw {

namespace {

const WriterWording kWording = {
    "Searching for existing ", true, "...", "...", "Resetting", true,
    "The following settings were written/overwritten in the system registry:", true, false, false,
};

}  // namespace

OutlookExpressAccountWriter::OutlookExpressAccountWriter(const AccountRequest& request,
                                                         const AutomaticPrefix& automatic_prefix, Registry& registry,
                                                         RunLog& log)
    : ConfigureSkeleton(request, automatic_prefix, log, kWording),
      registry_(registry),
      store_(kOutlookExpressAccounts, registry, log) {}

StepResult OutlookExpressAccountWriter::Open() {
  log_.Line("Starting Outlook Express configuration...");
  log_.BlankLine();
  if (store_.ListAccounts(&accounts_)) return Failure{result::kUnableToConfigure, {}};
  return std::nullopt;
}

// Automatic mode looks only at key names: its own account is the one called
// prefix + address.
StepResult OutlookExpressAccountWriter::Find(bool* found) {
  target_ = automatic() ? store_.FindByName(accounts_, AccountName())
                        : store_.FindByAddress(accounts_, request_.address, true);
  *found = target_.exists;
  return std::nullopt;
}

std::vector<std::string> OutlookExpressAccountWriter::Report() {
  std::vector<std::string> lines = AccountValueLines(InternetAccountValues(AccountName(), request_.address,
                                                                           request_.display_name));
  lines.push_back("");
  lines.push_back("Writing at RegKey: " + target_.key_path);
  return lines;
}

// The first account Outlook Express gets is its default, asked or not.
StepResult OutlookExpressAccountWriter::Save() {
  return store_.Save(target_, InternetAccountValues(AccountName(), request_.address, request_.display_name),
                     request_.make_default || accounts_.empty());
}

}  // namespace pw
