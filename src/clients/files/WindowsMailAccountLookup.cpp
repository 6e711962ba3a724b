#include "clients/files/WindowsMailAccountLookup.h"

#include "clients/files/WindowsMailAccountFolder.h"
#include "clients/files/WindowsMailAccountXml.h"
#include "clients/registry/InternetAccountValues.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kDefaultAccountKey[] = "Software\\Microsoft\\IAM";
const char kAccountPattern[] = "account*";

}  // namespace

std::optional<std::string> WindowsMailAccountLookup::DefaultAccount() {
  RegKeyPtr key;
  RegValue value;
  if (registry_.OpenKey(RegRoot::kCurrentUser, kDefaultAccountKey, RegAccess::kRead, &key) != err::kSuccess ||
      key->QueryValue(kDefaultMailAccount, &value) != err::kSuccess)
    return std::nullopt;
  const std::string name = RegText(value);
  if (!IsWindowsMailAccountFileName(name)) return std::nullopt;
  return name;
}

std::vector<std::string> WindowsMailAccountLookup::Accounts() {
  const std::optional<std::string> folder = Folder();
  std::vector<std::string> names, accounts;
  if (!folder || files_.List(*folder + "\\" + kAccountPattern, &names) != err::kSuccess) return accounts;
  for (const std::string& name : names)
    if (IsWindowsMailAccountFileName(name)) accounts.push_back(name);
  return accounts;
}

std::optional<std::string> WindowsMailAccountLookup::Folder() {
  std::string folder;
  if (FindWindowsMailAccountFolder(registry_, environment_, &folder) != AccountFolderState::kFound)
    return std::nullopt;
  return folder;
}

std::optional<std::string> WindowsMailAccountLookup::Text(const std::string& account_key, Field field) {
  const std::optional<std::string> folder = Folder();
  std::string bytes;
  std::u16string text;
  if (!IsWindowsMailAccountFileName(account_key) || !folder ||
      files_.ReadAll(*folder + "\\" + account_key, &bytes) != err::kSuccess || !ReadUtf16Le(bytes, &text))
    return std::nullopt;
  const std::optional<AccountXml> xml = ReadAccountXml(text);
  if (!xml) return std::nullopt;
  std::optional<std::u16string> value;
  switch (field) {
    case Field::kAddress: value = xml->Value(u"SMTP_Email_Address"); break;
    case Field::kDisplayName: value = xml->Value(u"SMTP_Display_Name"); break;
    case Field::kIncomingServer:
      value = xml->Value(u"POP3_Server");
      if (!value) value = xml->Value(u"IMAP_Server");
      break;
  }
  if (!value) return std::nullopt;
  return Utf16ToUtf8(*value);
}

}  // namespace pw
