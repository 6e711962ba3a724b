#include "clients/files/WindowsMailAccountFile.h"

#include <cstdio>

#include "clients/files/SettingsFile.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char16_t kByteOrderMark = 0xFEFF;
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-16\" ?>";
const char kOpening[] = "<MessageAccount>";
const char kClosing[] = "</MessageAccount>";
const char kIndent[] = "    ";

// Eight lower-case hexadecimal digits.
std::string Dword(int value) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value));
  return digits;
}

// An "&" or "<" left as it is would make the file unreadable for Windows
// Mail; a line break would split the element's line.
std::string EscapedText(const std::string& value) {
  std::string escaped;
  for (char c : value) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '\r':
      case '\n': escaped += ' '; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::u16string ElementText(const std::string& name, bool dword, const std::string& value) {
  return Utf8ToUtf16("<" + name + " type=\"" + (dword ? "DWORD" : "SZ") + "\">" + (dword ? value : EscapedText(value)) +
               "</" + name + ">");
}

bool Contains(const std::u16string& line, const char* text) { return line.find(WidenBytes(text)) != std::u16string::npos; }

// Blanks (not tabs) around the line go.
std::u16string TrimBlanks(const std::u16string& line) {
  const size_t first = line.find_first_not_of(u' ');
  if (first == std::u16string::npos) return std::u16string();
  return line.substr(first, line.find_last_not_of(u' ') - first + 1);
}

// The element's name: from the first "<" to the first blank after it.
bool Tag(const std::u16string& line, std::u16string* tag) {
  const size_t open = line.find(u'<');
  if (open == std::u16string::npos) return false;
  const size_t blank = line.find(u' ', open + 1);
  if (blank == std::u16string::npos) return false;
  *tag = line.substr(open + 1, blank - open - 1);
  return true;
}

}  // namespace

WindowsMailAccountFile::WindowsMailAccountFile(const AccountRequest& request, const ProviderSettings& provider)
    : elements_{
          {"Account_Name", false, request.address, false},
          {"Connection_Type", true, "00000003", false},
          {"POP3_Server", false, provider.pop3_host, false},
          {"POP3_User_Name", false, request.address, false},
          {"POP3_Use_Sicily", true, "00000000", false},
          {"POP3_Port", true, Dword(provider.pop3_port), false},
          {"POP3_Secure_Connection", true, "00000001", false},
          {"POP3_Timeout", true, "0000003c", false},
          {"Leave_Mail_On_Server", true, "00000000", false},
          {"SMTP_Server", false, provider.smtp_host, true},
          {"SMTP_Use_Sicily", true, "00000002", false},
          {"SMTP_Port", true, Dword(provider.smtp_port), true},
          {"SMTP_Secure_Connection", true, "00000001", false},
          {"SMTP_Timeout", true, "0000003c", false},
          {"SMTP_Display_Name", false, request.display_name, true},
          {"SMTP_Email_Address", false, request.address, false},
      } {}

std::u16string WindowsMailAccountFile::NewFile() const {
  std::vector<std::u16string> lines{WidenBytes(kDeclaration), WidenBytes(kOpening)};
  for (const Element& element : elements_) lines.push_back(ElementLine(element));
  lines.push_back(WidenBytes(kClosing));
  return kByteOrderMark + JoinLines(lines);
}

std::u16string WindowsMailAccountFile::Rewrite(const std::u16string& text) const {
  // The mark belongs to the file, not to its first line, whatever that line becomes.
  const bool marked = !text.empty() && text[0] == kByteOrderMark;
  std::vector<std::u16string> lines;
  std::vector<bool> seen(elements_.size(), false);
  for (const std::u16string& read : SplitLines(marked ? text.substr(1) : text)) {
    const std::u16string line = TrimBlanks(read);
    std::u16string tag;
    const bool tagged = Tag(line, &tag);
    size_t known = 0;
    while (known < elements_.size() && !(tagged && tag == WidenBytes(elements_[known].name))) ++known;
    if (known < elements_.size()) {
      lines.push_back(ElementLine(elements_[known]));
      seen[known] = true;
    } else if (Contains(line, kClosing)) {
      // written once, at the end
    } else if (Contains(line, "<?xml version") || (!tagged && Contains(line, kOpening))) {
      lines.push_back(line);
    } else {
      lines.push_back(WidenBytes(kIndent) + line);
    }
  }
  for (size_t i = 0; i < elements_.size(); ++i)
    if (!seen[i]) lines.push_back(ElementLine(elements_[i]));
  lines.push_back(WidenBytes(kClosing));
  return (marked ? std::u16string(1, kByteOrderMark) : std::u16string()) + JoinLines(lines);
}

std::vector<std::string> WindowsMailAccountFile::Report() const {
  std::vector<std::string> report;
  for (const Element& element : elements_) {
    std::string label = element.name;
    for (char& c : label)
      if (c == '_') c = ' ';
    report.push_back(label + ": " + element.value +
                     (element.logged_with_end_tag ? "</" + std::string(element.name) + ">" : ""));
  }
  return report;
}

std::u16string WindowsMailAccountFile::AddressElement(const std::string& address) {
  return ElementText("SMTP_Email_Address", false, address);
}

std::u16string WindowsMailAccountFile::ElementLine(const Element& element) {
  return WidenBytes(kIndent) + ElementText(element.name, element.dword, element.value);
}

}  // namespace pw
