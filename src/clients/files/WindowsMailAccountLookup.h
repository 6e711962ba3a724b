// Finds a Windows Mail account for automatic mode. Windows Mail keeps one
// UTF-16 XML file per account in the "Local Folders" folder of its message
// store; HKCU "Software\Microsoft\IAM" "Default Mail Account" names the
// default one's file. An account's key is its file's name in that folder.
#pragma once

#include <optional>
#include <string>

#include "clients/AccountLookup.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class WindowsMailAccountLookup : public AccountLookup {
 public:
  WindowsMailAccountLookup(Registry& registry, FileSystem& files, Environment& environment);

  // The file "Default Mail Account" names, when it is an account file of the folder.
  std::optional<std::string> GetDefAcct() override;
  // The first account file in the folder's listing whose address contains `text`.
  std::optional<std::string> FindAcctByText(const std::string& text) override;
  // The account's SMTP_Email_Address; none when the file cannot be read or
  // holds no address.
  std::optional<std::string> GetAcctAddr(const std::optional<std::string>& account_key) override;
  // The account's SMTP_Display_Name.
  std::optional<std::string> GetAcctDisplayName(const std::optional<std::string>& account_key) override;

 private:
  std::optional<std::string> Folder();
  std::optional<std::string> ElementText(const std::optional<std::string>& account_key, const char* name);

  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
};

}  // namespace pw
