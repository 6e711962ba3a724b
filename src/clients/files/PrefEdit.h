// The lines of a rewrite of prefs.js: a new line takes the place of every line
// that sets its preference; one that no line sets goes after the last line of
// its group ("mail.server.server3."), or at the end when the group has none.
// Records every line it puts into the file, in the file's order. Which
// preferences the file sets, and where each group ends, are found in one pass
// when the result is written.
#pragma once

#include <string>
#include <vector>

#include "clients/files/ParsedPrefs.h"
#include "platform/SafeReplace.h"

namespace pw {

class PrefEdit {
 public:
  explicit PrefEdit(const ParsedPrefs& prefs) : prefs_(prefs) {}

  // In place of the lines that set its preference, or after its group.
  void Put(const std::string& line, const std::string& group) { edits_.push_back({line, NameOf(line), group, false}); }
  // Only in place of the lines that set it; a file without one stays without.
  void Replace(const std::string& line) { edits_.push_back({line, NameOf(line), "", true}); }

  // The new file to `sink`; `written` gets the lines put into it.
  void Result(SaveSink& sink, std::vector<std::string>* written) const;

 private:
  struct Edit {
    std::string line, name, group;
    bool replace_only;
  };

  static std::string NameOf(const std::string& line);

  const ParsedPrefs& prefs_;
  std::vector<Edit> edits_;
};

}  // namespace pw
