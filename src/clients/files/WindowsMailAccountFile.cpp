#include "clients/files/WindowsMailAccountFile.h"

#include <cstdio>

#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "clients/files/WindowsMailAccountXml.h"
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

std::u16string Indented(const std::u16string& text) { return Utf8ToUtf16(kIndent) + text; }

// An item's own line ends become CR LF, like every other line of the file.
void AddLines(const std::u16string& text, std::vector<std::u16string>* lines) {
  std::u16string joined = JoinLines(SplitLines(text));
  lines->push_back(joined.substr(0, joined.size() - 2));
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
  std::vector<std::u16string> lines{Utf8ToUtf16(kDeclaration), Utf8ToUtf16(kOpening)};
  for (const Element& element : elements_) lines.push_back(ElementLine(element));
  lines.push_back(Utf8ToUtf16(kClosing));
  return kByteOrderMark + JoinLines(lines);
}

std::optional<std::u16string> WindowsMailAccountFile::Rewrite(const std::u16string& text) const {
  // The mark belongs to the file, not to its first line, whatever that line becomes.
  const bool marked = !text.empty() && text[0] == kByteOrderMark;
  const std::optional<AccountXml> xml = ReadAccountXml(text);
  if (!xml) return std::nullopt;

  std::vector<std::u16string> lines;
  if (!xml->declaration.empty()) AddLines(xml->declaration, &lines);
  for (const AccountXmlItem& item : xml->prolog) AddLines(item.source, &lines);
  AddLines(xml->opening.back() == u'>' && xml->opening[xml->opening.size() - 2] == u'/'
               ? Utf8ToUtf16(kOpening)  // an empty account opens and closes here
               : xml->opening,
           &lines);
  std::vector<bool> seen(elements_.size(), false);
  for (const AccountXmlItem& item : xml->settings) {
    size_t known = 0;
    while (known < elements_.size() && item.name != Utf8ToUtf16(elements_[known].name)) ++known;
    if (known == elements_.size()) {
      AddLines(Indented(item.source), &lines);
    } else if (!seen[known]) {
      lines.push_back(ElementLine(elements_[known]));
      seen[known] = true;
    }
  }
  for (size_t i = 0; i < elements_.size(); ++i)
    if (!seen[i]) lines.push_back(ElementLine(elements_[i]));
  lines.push_back(Utf8ToUtf16(kClosing));
  for (const AccountXmlItem& item : xml->epilog) AddLines(item.source, &lines);
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

bool WindowsMailAccountFile::HoldsAddress(const std::u16string& text, const std::string& address) {
  const std::u16string name = Utf8ToUtf16("SMTP_Email_Address");
  if (const std::optional<AccountXml> xml = ReadAccountXml(text))
    return xml->Value(name) == Utf8ToUtf16(address);
  const std::u16string element = ElementText("SMTP_Email_Address", false, address);
  for (const std::u16string& line : SplitLines(text))
    if (line.find(element) != std::u16string::npos) return true;
  return false;
}

std::u16string WindowsMailAccountFile::ElementLine(const Element& element) {
  return Utf8ToUtf16(kIndent) + ElementText(element.name, element.dword, element.value);
}

}  // namespace pw
