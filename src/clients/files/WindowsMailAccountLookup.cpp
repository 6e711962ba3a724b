#include "clients/files/WindowsMailAccountLookup.h"

#include <vector>

#include "clients/files/SettingsFile.h"
#include "clients/files/WindowsMailAccountWriter.h"
#include "clients/files/WindowsMailAccountXml.h"
#include "clients/registry/InternetAccountValues.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kDefaultAccountKey[] = "Software\\Microsoft\\IAM";
const char kAccountPattern[] = "account*";

}  // namespace

WindowsMailAccountLookup::WindowsMailAccountLookup(Registry& registry, FileSystem& files, Environment& environment)
    : registry_(registry), files_(files), environment_(environment) {}

std::optional<std::string> WindowsMailAccountLookup::GetDefAcct() {
  RegKeyPtr key;
  RegValue value;
  if (registry_.OpenKey(RegRoot::kCurrentUser, kDefaultAccountKey, RegAccess::kRead, &key) != err::kSuccess ||
      key->QueryValue(kDefaultMailAccount, &value) != err::kSuccess)
    return std::nullopt;
  const std::string name = RegText(value);
  if (!IsWindowsMailAccountFileName(name)) return std::nullopt;
  return name;
}

std::optional<std::string> WindowsMailAccountLookup::FindAcctByText(const std::string& text) {
  const std::optional<std::string> folder = Folder();
  std::vector<std::string> names;
  if (!folder || files_.List(*folder + "\\" + kAccountPattern, &names) != err::kSuccess) return std::nullopt;
  for (const std::string& name : names) {
    if (!IsWindowsMailAccountFileName(name)) continue;
    const std::optional<std::string> address = GetAcctAddr(name);
    if (address && address->find(text) != std::string::npos) return name;
  }
  return std::nullopt;
}

std::optional<std::string> WindowsMailAccountLookup::GetAcctAddr(const std::optional<std::string>& account_key) {
  std::optional<std::string> address = ElementText(account_key, "SMTP_Email_Address");
  if (address && address->empty()) return std::nullopt;
  return address;
}

std::optional<std::string> WindowsMailAccountLookup::GetAcctDisplayName(
    const std::optional<std::string>& account_key) {
  return ElementText(account_key, "SMTP_Display_Name");
}

std::optional<std::string> WindowsMailAccountLookup::Folder() {
  std::string folder;
  if (FindWindowsMailAccountFolder(registry_, environment_, &folder) != AccountFolderState::kFound)
    return std::nullopt;
  return folder;
}

// The text of the account file's first element `name`, read as an XML reader
// reads the file, whatever its layout; none for a file that is not
// well-formed.
std::optional<std::string> WindowsMailAccountLookup::ElementText(const std::optional<std::string>& account_key,
                                                                 const char* name) {
  const std::optional<std::string> folder = Folder();
  std::string bytes;
  std::u16string text;
  if (!account_key || !IsWindowsMailAccountFileName(*account_key) || !folder ||
      files_.ReadAll(*folder + "\\" + *account_key, &bytes) != err::kSuccess || !ReadUtf16Le(bytes, &text))
    return std::nullopt;
  const std::optional<AccountXml> xml = ReadAccountXml(text);
  if (!xml) return std::nullopt;
  const std::optional<std::u16string> value = xml->Value(Utf8ToUtf16(name));
  if (!value) return std::nullopt;
  return Utf16ToUtf8(*value);
}

}  // namespace pw
