#include "clients/registry/OutlookExpressAccountWriter.h"

#include "clients/registry/InternetAccountStore.h"
#include "clients/registry/InternetAccountValues.h"

namespace pw {

OutlookExpressAccountWriter::OutlookExpressAccountWriter(const AccountRequest& request,
                                                         const AutomaticPrefix& automatic_prefix, Registry& registry,
                                                         RunLog& log)
    : registry_(registry), log_(log), request_(request), automatic_prefix_(automatic_prefix) {}

ConfigureResult OutlookExpressAccountWriter::Configure() {
  log_.Line("Starting Outlook Express configuration...");
  log_.BlankLine();

  InternetAccountStore store(kOutlookExpressAccounts, registry_, log_);
  RegKeyPtr root;
  uint32_t count = 0;
  if (store.OpenRoot(&root, &count)) return result::kUnableToConfigure;

  log_.Line("Searching for existing " + request_.address + " account ... ");
  // Automatic mode looks only at key names: its own account is the one
  // called prefix + address.
  const bool automatic = automatic_prefix_.has_value();
  const InternetAccountStore::Account target = automatic ? store.FindByName(*root, count, AccountName())
                                                         : store.FindByAddress(*root, count, request_.address, true);
  root.reset();

  if (target.exists) {
    if (!request_.overwrite) {
      log_.Line(automatic ? "...found. Quitting." : "...found. No changes will be made.");
      return automatic ? result::kIdenticalAutomatic : result::kAlreadyExists;
    }
    log_.Line("...found. Resetting settings to defaults.");
  } else {
    log_.Line("...not found. Creating new account.");
  }
  log_.BlankLine();

  const AccountValues values = InternetAccountValues(AccountName(), request_.address, request_.display_name);
  log_.Line("The following settings were written/overwritten in the system registry:");
  log_.BlankLine();
  LogAccountValues(values, log_);
  log_.BlankLine();
  log_.Line("Writing at RegKey: " + target.key_path);

  // The first account Outlook Express gets is its default, asked or not.
  return store.Save(target, values, request_.make_default || count == 0);
}

}  // namespace pw
