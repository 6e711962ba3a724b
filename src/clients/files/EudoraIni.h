// The personalities in the lines of Eudora.ini. Eudora reads the file with
// the Windows profile functions: a "[name]" line starts a section, any other
// line that is not blank is an entry whose key runs to its first "=" (blanks
// around key and value do not count, letter case in names neither). The first
// personality, the dominant one, lives in [Settings]; every further one has
// a section "[Persona-" + name + "]" and an entry "Persona" + number + "=" +
// section name in [Personalities]. Lines this class does not change are
// kept as they are.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/ProviderSettings.h"
#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"

namespace pw {

// One line of a personality.
struct EudoraKey {
  const char* key;
  std::string value;

  std::string Line() const { return key + ("=" + value); }
};
using EudoraKeys = std::vector<EudoraKey>;

// The fifteen lines of the personality of `address`, in the order they are
// written. The values must not hold line breaks.
EudoraKeys EudoraKeyTable(const std::string& address, const std::string& display_name,
                          const ProviderSettings& provider);

// A personality as Eudora reads it.
struct EudoraPersonality {
  std::string section;         // "Settings" for the dominant one, else as the list names it
  size_t header = 0;           // the line of its section's header
  std::string return_address;  // as GetPrivateProfileString gives them; empty when not set
  std::string real_name;
};

class EudoraIni {
 public:
  // The file's bytes as read; its lines are views of them. A UTF-8
  // byte-order mark in front of the first line is not part of it (the
  // profile functions skip it) but is written again.
  static EudoraIni Read(std::string bytes);

  // The lines, each ending with CR LF, behind the mark the file had.
  void WriteTo(SaveSink& sink) const;
  std::string Bytes() const;

  // What GetPrivateProfileString gives for `key` in `section`: the first
  // entry of the key in the first section of the name; none without one.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  // The dominant personality (when there is a [Settings]), then every one
  // [Personalities] names, in its order, each once; a named personality
  // without a section of its own is left out. Sections the list does not
  // name are no personalities.
  std::vector<EudoraPersonality> Personalities() const;

  // The header line of the first personality whose return address is
  // `address` (letter case ignored).
  std::optional<size_t> FindReturnAddress(const std::string& address) const;
  // The largest number of the entries in [Personalities] (the last one in a
  // list kept in order); -1 when it lists none, -2 when there is no such
  // section.
  long long FindLastPersonaNumber() const;
  // Whether the dominant personality is an account already: its real name,
  // return address, POP account or login name holds text.
  bool IsDominantPersonalityInUse() const;

  // The header line of the first section `section`.
  std::optional<size_t> FindPersonality(const std::string& section) const { return FindSection(section); }

  // Gives the personality of the section headed at line `header` the table's
  // values: the first entry of each key of the table is replaced by the
  // table's line (a later one of the same key is not read by Eudora and is
  // left as it is), and the lines of keys it lacks are added at the end of
  // the section (before the blank lines that close it).
  void RewriteSection(size_t header, const EudoraKeys& keys);
  // Rewrites [Settings]; a file without one gets it at its end.
  void FillDominantPersonality(const EudoraKeys& keys);
  // Lists the personality "Persona-" + address (or, when a section or an
  // entry of the list already has that name, "Persona-" + address + "-2",
  // "-3" ...) under the next number, after the last entry of
  // [Personalities], and adds its section after the last line of the list
  // that is not blank. A file without the list gets both at its end. Returns
  // the section's name.
  std::string AddPersonality(const std::string& address, const EudoraKeys& keys);

 private:
  // Every section header line, in order, and the first header of each
  // name (folded as the profile functions compare names).
  struct SectionIndex {
    std::vector<size_t> headers;
    std::unordered_map<std::string, size_t> first;
  };

  template <typename Each>
  void ForEachPersonality(Each&& each) const;
  const SectionIndex& Sections() const;
  std::optional<size_t> FindSection(const std::string& name) const;
  std::optional<size_t> FindEntry(size_t header, const std::string& key) const;
  std::string EntryValue(size_t header, const std::string& key) const;
  bool NameTaken(const std::string& section) const;
  size_t SectionEnd(size_t header) const;
  size_t ContentEnd(size_t header) const;

  // The bytes read, and the lines put in since; neither moves while this
  // lives, so the lines can view them.
  struct Text {
    std::string read;
    std::deque<std::string> added;
  };
  explicit EudoraIni(std::string bytes);
  std::string_view Added(std::string line);

  std::unique_ptr<Text> text_;
  std::string_view mark_;  // a UTF-8 byte-order mark, or nothing
  std::vector<std::string_view> lines_;
  mutable std::optional<SectionIndex> sections_;  // made when first asked, dropped by every change
};

}  // namespace pw
