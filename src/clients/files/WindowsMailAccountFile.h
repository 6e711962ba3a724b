// A Windows Mail account file: UTF-16 XML, one element a line, named
// "account{GUID}.oeaccount" in the "Local Folders" folder of the message
// store. Builds the file of a new account, rewrites an existing one with the
// provider's settings, and tells whether a file holds an account's address.
// Works on the file's text in memory, as 16-bit code units.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ProviderSettings.h"
#include "clients/AccountRequest.h"

namespace pw {

class WindowsMailAccountFile {
 public:
  WindowsMailAccountFile(const AccountRequest& request, const ProviderSettings& provider);

  // The byte-order mark, the XML declaration, "<MessageAccount>", the sixteen
  // element lines and "</MessageAccount>", each line ending with CR LF.
  std::u16string NewFile() const;
  // `text` laid out one element a line: the first of each known element
  // replaced in its place (a later one of the same name goes), the ones it
  // lacks added at the end, every other element, comment and instruction
  // kept as written, indented with four blanks inside the account. A
  // byte-order mark stays in front. None when `text` is not well-formed XML
  // holding a <MessageAccount>: nothing can be written then that keeps all
  // it holds and that Windows Mail would read.
  std::optional<std::u16string> Rewrite(const std::u16string& text) const;
  // What the run log shows of the sixteen settings, one line each.
  std::vector<std::string> Report() const;

  // Whether the account file `text` (with or without its byte-order mark)
  // is the account of `address`: its SMTP_Email_Address reads exactly so.
  // A file that an XML reader rejects still counts when one of its lines
  // holds the element as Postwright writes it, so that such a file is found
  // (and then refused) rather than joined by a second account.
  static bool HoldsAddress(const std::u16string& text, const std::string& address);

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
