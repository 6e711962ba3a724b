#include "clients/files/PrefEdit.h"

#include <map>
#include <set>
#include <string_view>

#include "clients/files/PrefOutput.h"
#include "clients/files/ThunderbirdPrefNames.h"
#include "platform/Text.h"

namespace pw {

void PrefEdit::Result(SaveSink& sink, std::vector<std::string>* written) const {
  std::set<std::string_view> set;           // the edits' preferences that the file sets
  std::map<std::string_view, size_t> ends;  // the last line of each edit's group
  PrefView pref;
  for (size_t i = 0; i < prefs_.line_count(); ++i) {
    if (!prefs_.At(i, &pref)) continue;
    for (const Edit& edit : edits_) {
      if (pref.name == edit.name) set.insert(edit.name);
      if (!edit.group.empty() && StartsWith(pref.name, edit.group)) ends[edit.group] = i;
    }
  }
  std::map<std::string_view, std::string_view> replacements;
  std::map<size_t, std::vector<std::string_view>> after;
  std::vector<std::string_view> tail;
  for (const Edit& edit : edits_) {
    if (set.count(edit.name)) {
      replacements[edit.name] = edit.line;
    } else if (!edit.replace_only) {
      const auto end = ends.find(edit.group);
      if (end != ends.end())
        after[end->second].push_back(edit.line);
      else
        tail.push_back(edit.line);
    }
  }

  PrefOutput out(sink);
  const auto put = [&](std::string_view line) {
    out.Line(line);
    written->emplace_back(line);
  };
  for (size_t i = 0; i < prefs_.line_count(); ++i) {
    const auto replaced =
        prefs_.At(i, &pref) && !pref.name.empty() ? replacements.find(pref.name) : replacements.end();
    if (replaced == replacements.end())
      out.Copy(prefs_, i);
    else
      put(replaced->second);
    const auto inserted = after.find(i);
    if (inserted != after.end())
      for (const std::string_view line : inserted->second) put(line);
  }
  for (const std::string_view line : tail) put(line);
}

std::string PrefEdit::NameOf(const std::string& line) {
  Pref pref;
  ReadPrefLine(line, &pref);
  return pref.name;
}

}  // namespace pw
