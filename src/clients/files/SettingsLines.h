// The lines of a settings file, read as the clients read them: a line ends at
// CR LF, LF or a lone CR. A last line without a line end counts; an empty file
// has none. For 8-bit files and for UTF-16 files read as 16-bit code units.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

std::vector<std::string> SplitLines(const std::string& text);
std::vector<std::u16string> SplitLines(const std::u16string& text);
// Hands every line of `text` to `each(line, start)` with the place where it
// starts, as SplitLines splits them, without keeping them.
template <typename Char, typename Each>
void ForEachLine(std::basic_string_view<Char> text, Each&& each) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != Char('\r') && text[end] != Char('\n')) ++end;
    each(text.substr(start, end - start), start);
    if (end + 1 < text.size() && text[end] == Char('\r') && text[end + 1] == Char('\n')) ++end;
    start = end + 1;
  }
}
// How many lines `text` has, for sizing, when they end in LF or CR LF: one
// more than its LFs (a file of lone CRs has more).
template <typename Char>
size_t LineCountHint(std::basic_string_view<Char> text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), Char('\n'))) + 1;
}
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
std::u16string JoinLines(const std::vector<std::u16string>& lines);

}  // namespace pw
