// A Windows Mail account file read as an XML reader reads it, whatever its
// layout: an optional declaration, then the <MessageAccount> element holding
// one element per setting. Windows Mail writes one element a line, but a file
// edited by hand or by another program may put several on a line, split a
// value over lines, or use tabs and line breaks between a name and its
// attributes. A file that is not well-formed, or whose document element is
// not <MessageAccount>, is not read at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pw {

// One piece of the file outside the account's settings or inside them: an
// element, a comment, a processing instruction or other text.
struct AccountXmlItem {
  std::u16string source;  // exactly as the file has it, blanks around it left out
  std::u16string name;    // an element's name; empty for anything else
  std::u16string value;   // an element's text, references resolved
};

struct AccountXml {
  std::u16string declaration;            // "<?xml ... ?>" as written; empty when the file has none
  std::vector<AccountXmlItem> prolog;    // comments and instructions before the account
  std::u16string opening;                // the start tag of <MessageAccount> as written
  std::vector<AccountXmlItem> settings;  // in file order
  std::vector<AccountXmlItem> epilog;    // comments and instructions after it

  // The text of the first setting named `name`.
  std::optional<std::u16string> Value(const std::u16string& name) const;
};

// The file's text, with or without its byte-order mark; none when it is not
// well-formed XML with <MessageAccount> as its document element.
std::optional<AccountXml> ReadAccountXml(const std::u16string& text);

}  // namespace pw
