#include "clients/files/EudoraIni.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kBlanks[] = " \t";
const char kSettings[] = "Settings";
const char kPersonalities[] = "Personalities";
const char kPersona[] = "Persona";
const size_t kPersonaLength = sizeof kPersona - 1;
const std::string kPersonaFolded = "PERSONA";
constexpr size_t kAddedLinesRoom = 64;

// One line as the profile functions read it, as views of the line: every
// line of a large file is read several times, and each copy on the way costs.
struct IniLine {
  enum class Kind { kBlank, kSection, kEntry };
  Kind kind = Kind::kBlank;
  std::string_view name;   // the section's or the entry's key
  std::string_view value;  // the entry's, as GetPrivateProfileString gives it
};

std::string_view Trim(std::string_view text) { return Trimmed(text, std::string_view(kBlanks)); }

// A value in matching quotes loses them.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

IniLine ReadIniLine(std::string_view line) {
  const size_t first = line.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  if (line[first] == '[') {
    const size_t close = line.rfind(']');
    if (close != std::string_view::npos && close > first)
      return {IniLine::Kind::kSection, line.substr(first + 1, close - first - 1), {}};
  }
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return {IniLine::Kind::kEntry, Trim(line), {}};
  return {IniLine::Kind::kEntry, Trim(line.substr(0, equals)), Unquote(Trim(line.substr(equals + 1)))};
}

// Names compare as Windows compares them, without letter case: two names
// are the same when their folded forms are.
std::string Folded(std::string_view name) { return UpperCaseText(std::string(name)); }

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

char AsciiUpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether `name` is the name whose folded form is `folded`; plain ASCII, by
// far the most common, is compared without making a folded copy.
bool SameName(std::string_view name, const std::string& folded) {
  if (!IsAscii(name) || !IsAscii(folded)) return Folded(name) == folded;
  if (name.size() != folded.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (AsciiUpperChar(name[i]) != folded[i]) return false;
  return true;
}

bool IsBlank(std::string_view line) { return ReadIniLine(line).kind == IniLine::Kind::kBlank; }

// The number of a personality list entry "Persona" + digits; none for any
// other key, and for numbers too long to count on.
std::optional<long long> PersonaNumber(const IniLine& line) {
  const std::string_view key = line.name;
  if (line.kind != IniLine::Kind::kEntry || key.size() <= kPersonaLength || key.size() > kPersonaLength + 18 ||
      !SameName(key.substr(0, kPersonaLength), kPersonaFolded) ||
      key.find_first_not_of("0123456789", kPersonaLength) != std::string_view::npos)
    return std::nullopt;
  return std::stoll(std::string(key.substr(kPersonaLength)));
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

EudoraIni::EudoraIni(std::string bytes) : text_(std::make_unique<Text>()) {
  text_->read = std::move(bytes);
  std::string_view text = text_->read;
  if (StartsWith(text, kUtf8Mark)) {
    mark_ = text.substr(0, kUtf8Mark.size());
    text.remove_prefix(kUtf8Mark.size());
  }
  // Room for the lines a personality adds, so adding them moves no line.
  lines_.reserve(LineCountHint(text) + kAddedLinesRoom);
  ForEachLine(text, [&](std::string_view line, size_t) { lines_.push_back(line); });
}

EudoraIni EudoraIni::Read(std::string bytes) { return EudoraIni(std::move(bytes)); }

std::string_view EudoraIni::Added(std::string line) { return text_->added.emplace_back(std::move(line)); }

void EudoraIni::WriteTo(SaveSink& sink) const {
  sink.Append(mark_);
  for (const std::string_view line : lines_) {
    sink.Append(line);
    sink.Append("\r\n");
  }
}

std::string EudoraIni::Bytes() const {
  StringSink sink;
  WriteTo(sink);
  return sink.text;
}

std::optional<std::string> EudoraIni::Value(const std::string& section, const std::string& key) const {
  const std::optional<size_t> header = FindSection(section);
  if (!header) return std::nullopt;
  const std::optional<size_t> entry = FindEntry(*header, key);
  if (!entry) return std::nullopt;
  return std::string(ReadIniLine(lines_[*entry]).value);
}

// Every personality's section name and header, in Personalities' order,
// until `each` returns true.
template <typename Each>
void EudoraIni::ForEachPersonality(Each&& each) const {
  std::unordered_set<std::string> folded_names;
  const auto visit = [&](std::string_view name) {
    if (!folded_names.insert(Folded(name)).second) return false;
    const std::optional<size_t> header = FindSection(std::string(name));
    return header && each(name, *header);
  };
  if (FindSection(kSettings) && visit(kSettings)) return;
  const std::optional<size_t> list = FindSection(kPersonalities);
  if (!list) return;
  std::unordered_set<std::string> keys;  // only the first entry of a key counts
  for (size_t i = *list + 1, end = SectionEnd(*list); i < end; ++i) {
    const IniLine line = ReadIniLine(lines_[i]);
    if (!PersonaNumber(line) || !keys.insert(Folded(line.name)).second) continue;
    if (visit(line.value)) return;
  }
}

std::vector<EudoraPersonality> EudoraIni::Personalities() const {
  std::vector<EudoraPersonality> personalities;
  ForEachPersonality([&](std::string_view name, size_t header) {
    personalities.push_back(
        {std::string(name), header, EntryValue(header, "ReturnAddress"), EntryValue(header, "RealName")});
    return false;
  });
  return personalities;
}

std::optional<size_t> EudoraIni::FindReturnAddress(const std::string& address) const {
  std::optional<size_t> found;
  ForEachPersonality([&](std::string_view, size_t header) {
    if (EqualsNoCase(EntryValue(header, "ReturnAddress"), address)) found = header;
    return found.has_value();
  });
  return found;
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
  for (const char* key : {"RealName", "ReturnAddress", "POPAccount", "LoginName"})
    if (!Value(kSettings, key).value_or("").empty()) return true;
  return false;
}

void EudoraIni::RewriteSection(size_t header, const EudoraKeys& keys) {
  std::vector<std::string_view> missing;
  for (const EudoraKey& key : keys) {
    if (const std::optional<size_t> entry = FindEntry(header, key.key))
      lines_[*entry] = Added(key.Line());
    else
      missing.push_back(Added(key.Line()));
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(ContentEnd(header)), missing.begin(), missing.end());
  sections_.reset();
}

void EudoraIni::FillDominantPersonality(const EudoraKeys& keys) {
  std::optional<size_t> settings = FindSection(kSettings);
  if (!settings) {
    lines_.push_back(Added(std::string("[") + kSettings + "]"));
    sections_.reset();
    settings = lines_.size() - 1;
  }
  RewriteSection(*settings, keys);
}

std::string EudoraIni::AddPersonality(const std::string& address, const EudoraKeys& keys) {
  std::optional<size_t> list = FindSection(kPersonalities);
  if (!list) {
    lines_.push_back(Added(std::string("[") + kPersonalities + "]"));
    sections_.reset();
    list = lines_.size() - 1;
  }
  std::string section = kPersona + ("-" + address);
  for (int n = 2; NameTaken(section); ++n) section = kPersona + ("-" + address + "-" + std::to_string(n));
  const std::string entry = kPersona + std::to_string(FindLastPersonaNumber() + 1) + "=" + section;
  size_t entry_at = *list + 1;
  for (size_t i = *list + 1, end = SectionEnd(*list); i < end; ++i)
    if (PersonaNumber(ReadIniLine(lines_[i]))) entry_at = i + 1;
  // The section goes at the list's end, which is not before the entry's
  // place: put in first, it leaves that place where it was.
  std::vector<std::string_view> added{Added("[" + section + "]")};
  for (const EudoraKey& key : keys) added.push_back(Added(key.Line()));
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(ContentEnd(*list)), added.begin(), added.end());
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(entry_at), Added(entry));
  sections_.reset();
  return section;
}

// Only the first section of a name counts, as for the profile functions.
std::optional<size_t> EudoraIni::FindSection(const std::string& name) const {
  const SectionIndex& index = Sections();
  const auto it = index.first.find(Folded(name));
  if (it == index.first.end()) return std::nullopt;
  return it->second;
}

// The first entry of `key` in the section headed at `header`.
std::optional<size_t> EudoraIni::FindEntry(size_t header, const std::string& key) const {
  const std::string folded = Folded(key);
  for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
    const IniLine line = ReadIniLine(lines_[i]);
    if (line.kind == IniLine::Kind::kEntry && SameName(line.name, folded)) return i;
  }
  return std::nullopt;
}

// The value of the first entry of `key` in the section headed at `header`;
// empty without one.
std::string EudoraIni::EntryValue(size_t header, const std::string& key) const {
  const std::optional<size_t> entry = FindEntry(header, key);
  return entry ? std::string(ReadIniLine(lines_[*entry]).value) : std::string();
}

// One pass over the lines notes every header and the first of each name;
// a change to the lines makes it again when it is next asked.
const EudoraIni::SectionIndex& EudoraIni::Sections() const {
  if (sections_) return *sections_;
  SectionIndex index;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const IniLine line = ReadIniLine(lines_[i]);
    if (line.kind != IniLine::Kind::kSection) continue;
    index.headers.push_back(i);
    index.first.emplace(Folded(line.name), i);
  }
  sections_ = std::move(index);
  return *sections_;
}

// A section of that name, or an entry of the list naming it, whether Eudora
// would read them or not: a new personality must not share its name.
bool EudoraIni::NameTaken(const std::string& section) const {
  const std::string folded = Folded(section);
  for (const std::string_view text : lines_) {
    const IniLine line = ReadIniLine(text);
    if ((line.kind == IniLine::Kind::kSection && SameName(line.name, folded)) ||
        (PersonaNumber(line) && SameName(line.value, folded)))
      return true;
  }
  return false;
}

// The next header after `header`, or the end of the file.
size_t EudoraIni::SectionEnd(size_t header) const {
  const std::vector<size_t>& headers = Sections().headers;
  const auto next = std::upper_bound(headers.begin(), headers.end(), header);
  return next == headers.end() ? lines_.size() : *next;
}

// Where lines added to the end of a section go: before the blank lines that
// close it.
size_t EudoraIni::ContentEnd(size_t header) const {
  size_t end = SectionEnd(header);
  while (end > header + 1 && IsBlank(lines_[end - 1])) --end;
  return end;
}

}  // namespace pw
