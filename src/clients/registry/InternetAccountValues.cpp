#include "clients/registry/InternetAccountValues.h"

#include "app/ProviderSettings.h"

namespace pw {

const char kSmtpEmailAddress[] = "SMTP Email Address";
const char kSmtpDisplayName[] = "SMTP Display Name";
const char kDefaultMailAccount[] = "Default Mail Account";

AccountValue DwordAccountValue(const std::string& name, uint32_t value) {
  return AccountValue{name, regtype::kDword, RegDwordBytes(value), std::to_string(value)};
}

AccountValue RequestTextValue(const std::string& name, const std::string& text) {
  return AccountValue{name, regtype::kSz, text, text};
}

AccountValue ServerNameValue(const std::string& name, const std::string& host) {
  return AccountValue{name, regtype::kSz, host + '\0', host};
}

AccountValues InternetAccountValues(const std::string& account_name, const std::string& address,
                                    const std::string& display_name) {
  return {
      RequestTextValue("Account Name", account_name),
      DwordAccountValue("Connection Type", 3),
      DwordAccountValue("Leave Mail On Server", 0),
      DwordAccountValue("POP3 Port", kProvider.pop3_port),
      DwordAccountValue("POP3 Prompt for Password", 0),
      DwordAccountValue("POP3 Secure Connection", 1),
      ServerNameValue("POP3 Server", kProvider.pop3_host),
      DwordAccountValue("POP3 Skip Account", 0),
      DwordAccountValue("POP3 Timeout", 60),
      RequestTextValue("POP3 User Name", address),
      RequestTextValue(kSmtpDisplayName, display_name),
      RequestTextValue(kSmtpEmailAddress, address),
      DwordAccountValue("SMTP Port", kProvider.smtp_port),
      DwordAccountValue("SMTP Prompt for Password", 1),
      DwordAccountValue("SMTP Secure Connection", 1),
      ServerNameValue("SMTP Server", kProvider.smtp_host),
      DwordAccountValue("SMTP Split Messages", 0),
      DwordAccountValue("SMTP Timeout", 60),
      DwordAccountValue("SMTP Use Sicily", 2),
      RequestTextValue("SMTP User Name", address),
  };
}

Status WriteDefaultMailAccount(Registry& registry, const std::string& manager_key, const std::string& name) {
  RegKeyPtr key;
  if (Status status = registry.CreateKey(RegRoot::kCurrentUser, manager_key, RegAccess::kAllAccess, &key))
    return status;
  // Setting the value replaces the old one in one step: a run cut off here
  // leaves the old default or the new one, never none.
  return key->SetValue(kDefaultMailAccount, regtype::kSz, name);
}

AccountValue* FindAccountValue(AccountValues& values, const std::string& name) {
  for (AccountValue& value : values)
    if (value.name == name) return &value;
  return nullptr;
}

std::vector<std::string> AccountValueNames(const AccountValues& values) {
  std::vector<std::string> names;
  for (const AccountValue& value : values) names.push_back(value.name);
  return names;
}

std::vector<std::string> AccountValueLines(const AccountValues& values) {
  std::vector<std::string> lines;
  for (const AccountValue& value : values)
    if (value.listed) lines.push_back(value.name + ": " + value.shown);
  return lines;
}

Status WriteAccountValues(RegKey& key, const AccountValues& values) {
  for (const AccountValue& value : values)
    if (Status status = key.SetValue(value.name, value.type, value.data)) return status;
  return err::kSuccess;
}

}  // namespace pw
