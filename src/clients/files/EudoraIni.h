// The personalities in the lines of Eudora.ini. Eudora reads the file with
// the Windows profile functions: a "[name]" line starts a section, any other
// line that is not blank is an entry whose key runs to its first "=" (blanks
// around key and value do not count, letter case in names neither). The first
// personality, the dominant one, lives in [Settings]; every further one has
// a section "[Persona-" + name + "]" and an entry "Persona" + number + "=" +
// section name in [Personalities]. Lines this class does not change are
// kept as they are.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ProviderSettings.h"

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

class EudoraIni {
 public:
  explicit EudoraIni(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  const std::vector<std::string>& lines() const { return lines_; }

  // The header line of the first section holding the entry ReturnAddress
  // with the value `address` (letter case ignored).
  std::optional<size_t> FindReturnAddress(const std::string& address) const;
  // The largest number of the entries in [Personalities] (the last one in a
  // list kept in order); -1 when it lists none, -2 when there is no such
  // section.
  long long FindLastPersonaNumber() const;
  // Whether [Settings] gives the dominant personality a real name or a
  // return address.
  bool IsDominantPersonalityInUse() const;

  // The value of the first entry `key` in the first section `section`, as
  // the profile functions read it; none when either is missing.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  // The section names of the personalities [Personalities] lists, in the
  // order of its entries (only the first entry of a key counts).
  std::vector<std::string> ListedPersonalities() const;
  // The header line of the first section `section`.
  std::optional<size_t> FindPersonality(const std::string& section) const { return FindSection(section); }

  // Gives the personality of the section headed at line `header` the table's
  // values: each entry with a key of the table is replaced by the table's
  // line, and the lines of keys it lacks are added at the end of the section
  // (before the blank lines that close it).
  void RewriteSection(size_t header, const EudoraKeys& keys);
  // Rewrites [Settings]; a file without one gets it at its end.
  void FillDominantPersonality(const EudoraKeys& keys);
  // Lists "Persona-" + address under the next number, after the last entry of
  // [Personalities], and adds its section after the last line of the list
  // that is not blank. A file without the list gets both at its end.
  void AddPersonality(const std::string& address, const EudoraKeys& keys);

 private:
  std::optional<size_t> FindSection(const std::string& name) const;
  size_t SectionEnd(size_t header) const;
  size_t ContentEnd(size_t header) const;

  std::vector<std::string> lines_;
};

}  // namespace pw
