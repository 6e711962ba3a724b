#include "clients/files/EudoraIni.h"

#include "platform/Text.h"

namespace pw {

namespace {

const char kBlanks[] = " \t";
const char kSettings[] = "Settings";
const char kPersonalities[] = "Personalities";
const char kPersona[] = "Persona";
const size_t kPersonaLength = sizeof kPersona - 1;

// One line as the profile functions read it.
struct IniLine {
  enum class Kind { kBlank, kSection, kEntry };
  Kind kind = Kind::kBlank;
  std::string name;   // the section's or the entry's key
  std::string value;  // the entry's, as GetPrivateProfileString gives it

  bool IsEntry(const std::string& key) const { return kind == Kind::kEntry && EqualsNoCase(name, key); }
};

// Views of the line until the name and value are made: every line of a
// large file is read several times, and each copy on the way costs.
std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A value in matching quotes loses them.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

IniLine ReadIniLine(const std::string& line) {
  const size_t first = line.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  if (line[first] == '[') {
    const size_t close = line.rfind(']');
    if (close != std::string::npos && close > first)
      return {IniLine::Kind::kSection, line.substr(first + 1, close - first - 1), ""};
  }
  const std::string_view view(line);
  const size_t equals = view.find('=');
  if (equals == std::string_view::npos) return {IniLine::Kind::kEntry, std::string(Trim(view)), ""};
  return {IniLine::Kind::kEntry, std::string(Trim(view.substr(0, equals))),
          std::string(Unquote(Trim(view.substr(equals + 1))))};
}

bool IsBlank(const std::string& line) { return ReadIniLine(line).kind == IniLine::Kind::kBlank; }

// The number of a personality list entry "Persona" + digits; none for any
// other key, and for numbers too long to count on.
std::optional<long long> PersonaNumber(const IniLine& line) {
  const std::string& key = line.name;
  if (line.kind != IniLine::Kind::kEntry || key.size() <= kPersonaLength || key.size() > kPersonaLength + 18 ||
      !EqualsNoCase(key.substr(0, kPersonaLength), kPersona) ||
      key.find_first_not_of("0123456789", kPersonaLength) != std::string::npos)
    return std::nullopt;
  return std::stoll(key.substr(kPersonaLength));
}

// The row of the table whose key the line sets.
std::optional<size_t> RowOf(const IniLine& line, const EudoraKeys& keys) {
  for (size_t row = 0; row < keys.size(); ++row)
    if (line.IsEntry(keys[row].key)) return row;
  return std::nullopt;
}

}  // namespace

EudoraKeys EudoraKeyTable(const std::string& address, const std::string& display_name,
                          const ProviderSettings& provider) {
  return {
      {"POPAccount", address + "@" + provider.pop3_host},
      {"RealName", display_name},
      {"SMTPServer", provider.smtp_host},
      {"ReturnAddress", address},
      {"PopServer", provider.pop3_host},
      {"LoginName", address},
      {"SmtpAuthAllowed", "1"},
      {"PopBeforeSmtpAuthTime", "0"},
      {"LeaveMailOnServer", "0"},
      {"SSLReceiveUse", "2"},
      {"SSLSendUse", "2"},
      {"UsesIMAP", "0"},
      {"UsesPOP", "1"},
      {"PopPort", std::to_string(provider.pop3_port)},
      {"SMTPPort", std::to_string(provider.smtp_port)},
  };
}

std::optional<size_t> EudoraIni::FindReturnAddress(const std::string& address) const {
  std::optional<size_t> header;  // entries before the first section belong to none
  for (size_t i = 0; i < lines_.size(); ++i) {
    const IniLine line = ReadIniLine(lines_[i]);
    if (line.kind == IniLine::Kind::kSection) header = i;
    if (header && line.IsEntry("ReturnAddress") && EqualsNoCase(line.value, address)) return header;
  }
  return std::nullopt;
}

long long EudoraIni::FindLastPersonaNumber() const {
  const std::optional<size_t> list = FindSection(kPersonalities);
  if (!list) return -2;
  long long largest = -1;
  for (size_t i = *list + 1, end = SectionEnd(*list); i < end; ++i) {
    const std::optional<long long> number = PersonaNumber(ReadIniLine(lines_[i]));
    if (number && *number > largest) largest = *number;
  }
  return largest;
}

bool EudoraIni::IsDominantPersonalityInUse() const {
  const std::optional<size_t> settings = FindSection(kSettings);
  if (!settings) return false;
  for (size_t i = *settings + 1, end = SectionEnd(*settings); i < end; ++i) {
    const IniLine line = ReadIniLine(lines_[i]);
    if ((line.IsEntry("RealName") || line.IsEntry("ReturnAddress")) && !line.value.empty()) return true;
  }
  return false;
}

void EudoraIni::RewriteSection(size_t header, const EudoraKeys& keys) {
  std::vector<bool> present(keys.size(), false);
  for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
    const std::optional<size_t> row = RowOf(ReadIniLine(lines_[i]), keys);
    if (!row) continue;
    lines_[i] = keys[*row].Line();
    present[*row] = true;
  }
  std::vector<std::string> missing;
  for (size_t row = 0; row < keys.size(); ++row)
    if (!present[row]) missing.push_back(keys[row].Line());
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(ContentEnd(header)), missing.begin(), missing.end());
}

void EudoraIni::FillDominantPersonality(const EudoraKeys& keys) {
  std::optional<size_t> settings = FindSection(kSettings);
  if (!settings) {
    lines_.push_back(std::string("[") + kSettings + "]");
    settings = lines_.size() - 1;
  }
  RewriteSection(*settings, keys);
}

void EudoraIni::AddPersonality(const std::string& address, const EudoraKeys& keys) {
  std::optional<size_t> list = FindSection(kPersonalities);
  if (!list) {
    lines_.push_back(std::string("[") + kPersonalities + "]");
    list = lines_.size() - 1;
  }
  const std::string section = kPersona + ("-" + address);
  const std::string entry = kPersona + std::to_string(FindLastPersonaNumber() + 1) + "=" + section;
  size_t entry_at = *list + 1;
  for (size_t i = *list + 1, end = SectionEnd(*list); i < end; ++i)
    if (PersonaNumber(ReadIniLine(lines_[i]))) entry_at = i + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(entry_at), entry);

  std::vector<std::string> added{"[" + section + "]"};
  for (const EudoraKey& key : keys) added.push_back(key.Line());
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(ContentEnd(*list)), added.begin(), added.end());
}

// Only the first section of a name counts, as for the profile functions.
std::optional<size_t> EudoraIni::FindSection(const std::string& name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const IniLine line = ReadIniLine(lines_[i]);
    if (line.kind == IniLine::Kind::kSection && EqualsNoCase(line.name, name)) return i;
  }
  return std::nullopt;
}

// The next header after `header`, or the end of the file.
size_t EudoraIni::SectionEnd(size_t header) const {
  for (size_t i = header + 1; i < lines_.size(); ++i)
    if (ReadIniLine(lines_[i]).kind == IniLine::Kind::kSection) return i;
  return lines_.size();
}

// Where lines added to the end of a section go: before the blank lines that
// close it.
size_t EudoraIni::ContentEnd(size_t header) const {
  size_t end = SectionEnd(header);
  while (end > header + 1 && IsBlank(lines_[end - 1])) --end;
  return end;
}

}  // namespace pw
