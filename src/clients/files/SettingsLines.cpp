#include "clients/files/SettingsLines.h"

namespace pw {

namespace {

// One pass over the text: each line is copied once into a vector sized for
// all of them.
template <typename Text, typename Char = typename Text::value_type>
std::vector<Text> SplitTextLines(std::basic_string_view<Char> view) {
  std::vector<Text> lines;
  lines.reserve(LineCountHint(view));
  ForEachLine(view, [&](std::basic_string_view<Char> line, size_t) { lines.emplace_back(line); });
  return lines;
}

template <typename Text>
Text JoinTextLines(const std::vector<Text>& lines) {
  size_t size = 0;
  for (const Text& line : lines) size += line.size() + 2;
  Text text;
  text.reserve(size);
  for (const Text& line : lines) {
    text += line;
    text += '\r';
    text += '\n';
  }
  return text;
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& text) {
  return SplitTextLines<std::string>(std::string_view(text));
}
std::vector<std::u16string> SplitLines(const std::u16string& text) {
  return SplitTextLines<std::u16string>(std::u16string_view(text));
}

std::string JoinLines(const std::vector<std::string>& lines) { return JoinTextLines(lines); }
std::u16string JoinLines(const std::vector<std::u16string>& lines) { return JoinTextLines(lines); }

}  // namespace pw
