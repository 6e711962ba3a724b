// Finds a Windows Mail account for automatic mode. Windows Mail keeps one
// UTF-16 XML file per account in the "Local Folders" folder of its message
// store; HKCU "Software\Microsoft\IAM" "Default Mail Account" names the
// default one's file. An account's key is its file's name in that folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "clients/files/FileAccountLookup.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class WindowsMailAccountLookup : public FileAccountLookup {
 public:
  WindowsMailAccountLookup(Registry& registry, FileSystem& files, Environment& environment)
      : registry_(registry), files_(files), environment_(environment) {}

 private:
  // The file "Default Mail Account" names, when it is an account file's name.
  std::optional<std::string> DefaultAccount() override;
  // The account files in the folder's listing order.
  std::vector<std::string> Accounts() override;
  // SMTP_Email_Address, SMTP_Display_Name, and POP3_Server (IMAP_Server for an
  // IMAP account), as an XML reader reads the file; none for a file that is
  // not well-formed.
  std::optional<std::string> Text(const std::string& account_key, Field field) override;
  std::optional<std::string> Folder();

  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
};

}  // namespace pw
