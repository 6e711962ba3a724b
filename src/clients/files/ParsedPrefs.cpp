#include "clients/files/ParsedPrefs.h"

#include "clients/files/SettingsLines.h"

namespace pw {

ParsedPrefs::ParsedPrefs(std::string_view text) : text_(text) {
  const size_t lines = LineCountHint(text);
  lines_.reserve(lines);
  kinds_.reserve(lines);
  PrefView pref;
  std::string name_text, value_text;
  // A place in the text, or in decoded_ for a part that had escapes.
  const auto place = [&](std::string_view part, const std::string& decoded, uint8_t flag, uint8_t* kind) {
    if (part.data() != decoded.data()) return static_cast<uint32_t>(part.data() - text_.data());
    *kind |= flag;
    const size_t at = decoded_.size();
    decoded_ += part;
    return static_cast<uint32_t>(at);
  };
  ForEachLine(text, [&](std::string_view line, size_t start) {
    Line entry{static_cast<uint32_t>(start), 0, 0, 0, 0};
    uint8_t kind = 0;
    if (ReadPrefLine(line, &pref, &name_text, &value_text)) {
      kind = kPref | (pref.is_text ? kText : 0);
      entry.name = place(pref.name, name_text, kNameDecoded, &kind);
      entry.name_size = static_cast<uint32_t>(pref.name.size());
      entry.value = place(pref.value, value_text, kValueDecoded, &kind);
      entry.value_size = static_cast<uint32_t>(pref.value.size());
      name_text.clear();
      value_text.clear();
    }
    lines_.push_back(entry);
    kinds_.push_back(kind);
  });
}

std::string_view ParsedPrefs::LineWithEnd(size_t i) const {
  const size_t start = lines_[i].start;
  const size_t end = i + 1 < lines_.size() ? lines_[i + 1].start : text_.size();
  return text_.substr(start, end - start);
}

std::string_view ParsedPrefs::line(size_t i) const {
  std::string_view line = LineWithEnd(i);
  // No line holds a CR or LF: what ends it is its line end.
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

std::string_view ParsedPrefs::Part(uint8_t kind, uint8_t decoded, uint32_t at, uint32_t size) const {
  return (kind & decoded) ? std::string_view(decoded_).substr(at, size) : text_.substr(at, size);
}

bool ParsedPrefs::At(size_t i, PrefView* pref) const {
  const uint8_t kind = kinds_[i];
  if (!(kind & kPref)) return false;
  const Line& entry = lines_[i];
  pref->name = Part(kind, kNameDecoded, entry.name, entry.name_size);
  pref->is_text = (kind & kText) != 0;
  pref->value = Part(kind, kValueDecoded, entry.value, entry.value_size);
  return true;
}

PrefView ParsedPrefs::PrefIterator::operator*() const {
  PrefView pref;
  prefs_.At(line_, &pref);
  return pref;
}

ParsedPrefs::PrefIterator& ParsedPrefs::PrefIterator::operator++() {
  ++line_;
  Skip();
  return *this;
}

void ParsedPrefs::PrefIterator::Skip() {
  while (line_ < prefs_.line_count() && !(prefs_.kinds_[line_] & kPref)) ++line_;
}

bool ParsedPrefs::LastText(std::string_view name, std::string_view* value) const {
  PrefView pref;
  for (size_t i = lines_.size(); i-- > 0;) {
    if (!At(i, &pref) || pref.name != name) continue;
    if (!pref.is_text) return false;
    *value = pref.value;
    return true;
  }
  return false;
}

}  // namespace pw
