#include "clients/files/WindowsMailAccountLookup.h"

#include <vector>

#include "clients/files/SettingsFile.h"
#include "clients/files/WindowsMailAccountWriter.h"
#include "clients/registry/InternetAccountValues.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kDefaultAccountKey[] = "Software\\Microsoft\\IAM";
const char kAccountPattern[] = "account*";
const char kAccountPrefix[] = "account";
const char kAccountExtension[] = ".oeaccount";

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
}

// Only "account*.oeaccount" files are accounts: a ".oeaccount.tmp" left by
// a run that was cut off is none. A name with a path in it would lead out of
// the folder.
bool IsAccountFileName(const std::string& name) {
  return name.size() > sizeof kAccountPrefix - 1 &&
         EqualsNoCase(name.substr(0, sizeof kAccountPrefix - 1), kAccountPrefix) &&
         EndsWithNoCase(name, kAccountExtension) && name.find_first_of("\\/:") == std::string::npos;
}

// The five predefined entities and character references; anything else
// after an "&" stays as it is.
std::u16string XmlUnescaped(const std::u16string& text) {
  static const struct {
    const char* name;
    char16_t unit;
  } kEntities[] = {{"amp;", u'&'}, {"lt;", u'<'}, {"gt;", u'>'}, {"quot;", u'"'}, {"apos;", u'\''}};
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'&') {
      out += text[i];
      continue;
    }
    bool replaced = false;
    for (const auto& entity : kEntities) {
      const std::u16string name = WidenBytes(entity.name);
      if (text.compare(i + 1, name.size(), name) == 0) {
        out += entity.unit;
        i += name.size();
        replaced = true;
        break;
      }
    }
    const size_t end = text.find(u';', i + 1);
    if (!replaced && i + 2 < text.size() && text[i + 1] == u'#' && end != std::u16string::npos) {
      const bool hex = text[i + 2] == u'x';
      const std::u16string digits = text.substr(i + (hex ? 3 : 2), end - i - (hex ? 3 : 2));
      unsigned long code = 0;
      bool valid = !digits.empty() && digits.size() <= 6;
      for (char16_t d : digits) {
        const int value = d >= u'0' && d <= u'9'                ? d - u'0'
                          : hex && d >= u'a' && d <= u'f'       ? d - u'a' + 10
                          : hex && d >= u'A' && d <= u'F'       ? d - u'A' + 10
                                                                : -1;
        valid = valid && value >= 0;
        code = code * (hex ? 16 : 10) + (value >= 0 ? static_cast<unsigned long>(value) : 0);
      }
      if (valid && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
        if (code >= 0x10000) {
          out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
          out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
          out += static_cast<char16_t>(code);
        }
        i = end;
        replaced = true;
      }
    }
    if (!replaced) out += u'&';
  }
  return out;
}

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
  if (!IsAccountFileName(name)) return std::nullopt;
  return name;
}

std::optional<std::string> WindowsMailAccountLookup::FindAcctByText(const std::string& text) {
  const std::optional<std::string> folder = Folder();
  std::vector<std::string> names;
  if (!folder || files_.List(*folder + "\\" + kAccountPattern, &names) != err::kSuccess) return std::nullopt;
  for (const std::string& name : names) {
    if (!IsAccountFileName(name)) continue;
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

// The text of the first line that holds the element as Windows Mail writes
// it: `<name type="SZ">` + text + `</name>`.
std::optional<std::string> WindowsMailAccountLookup::ElementText(const std::optional<std::string>& account_key,
                                                                 const char* name) {
  const std::optional<std::string> folder = Folder();
  std::string bytes;
  std::u16string text;
  if (!account_key || !IsAccountFileName(*account_key) || !folder ||
      files_.ReadAll(*folder + "\\" + *account_key, &bytes) != err::kSuccess || !ReadUtf16Le(bytes, &text))
    return std::nullopt;
  const std::u16string open = WidenBytes(std::string("<") + name + " type=\"SZ\">");
  const std::u16string close = WidenBytes(std::string("</") + name + ">");
  for (const std::u16string& line : SplitLines(text)) {
    const size_t start = line.find(open);
    if (start == std::u16string::npos) continue;
    const size_t end = line.find(close, start + open.size());
    if (end == std::u16string::npos) continue;
    return Utf16ToUtf8(XmlUnescaped(line.substr(start + open.size(), end - start - open.size())));
  }
  return std::nullopt;
}

}  // namespace pw
