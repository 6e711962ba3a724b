// The lines that differ between a file's old and new text: a shortest edit
// script (Myers' algorithm) of kept, removed and added lines. Settings files
// change in a few places, so the work is proportional to the file and the
// number of changes; past kMostChanges the middle part that differs counts as
// removed and added whole.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pw {

struct LineEdit {
  enum class Kind { kKeep, kRemove, kAdd };
  Kind kind;
  size_t old_line;  // index in the old lines (kKeep, kRemove)
  size_t new_line;  // index in the new lines (kKeep, kAdd)
};

constexpr size_t kMostChanges = 1000;

std::vector<LineEdit> DiffLines(const std::vector<std::string>& old_lines, const std::vector<std::string>& new_lines);

}  // namespace pw
