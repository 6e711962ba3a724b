// A Windows Mail account file: UTF-16 XML, one element a line, named
// "account{GUID}.oeaccount" in the "Local Folders" folder of the message
// store. Builds the file of a new account, rewrites an existing one with the
// provider's settings, and gives the line that marks an account's address.
// Works on the file's text in memory, as 16-bit code units.
#pragma once

#include <string>
#include <vector>

#include "app/ProviderSettings.h"
#include "clients/AccountWriter.h"

namespace pw {

class WindowsMailAccountFile {
 public:
  WindowsMailAccountFile(const AccountRequest& request, const ProviderSettings& provider);

  // The byte-order mark, the XML declaration, "<MessageAccount>", the sixteen
  // element lines and "</MessageAccount>", each line ending with CR LF.
  std::u16string NewFile() const;
  // The lines of `text` with every known element replaced in its place, the
  // ones it lacks added at the end, and every other line kept (re-indented
  // with four blanks unless it is the declaration or the container's opening
  // line). A byte-order mark stays in front.
  std::u16string Rewrite(const std::u16string& text) const;
  // What the run log shows of the sixteen settings, one line each.
  std::vector<std::string> Report() const;

  // The line of an account file that holds the account's return address is
  // the one that contains this text.
  static std::u16string AddressElement(const std::string& address);

 private:
  struct Element {
    const char* name;
    bool dword;          // else a text (SZ)
    std::string value;   // as the run log shows it
    bool logged_with_end_tag;
  };

  static std::u16string ElementLine(const Element& element);

  std::vector<Element> elements_;  // in the order a new file has them
};

}  // namespace pw
