#include "run/ChangeListing.h"

#include "clients/files/SettingsLines.h"
#include "platform/Text.h"
#include "run/LineDiff.h"

namespace pw {

namespace {

std::string KeyName(const StoreChange& change) { return std::string(RootName(change.root)) + "\\" + change.path; }

std::string ValueName(const StoreChange& change) {
  return KeyName(change) + " " + (change.name.empty() ? std::string("(default)") : "\"" + change.name + "\"");
}

// A REG_BINARY that holds UTF-16 text ending in a zero unit, as Outlook keeps
// its texts: that text.
bool BinaryText(const std::string& data, std::string* text) {
  std::u16string units;
  if (data.size() < 2 || !ReadUtf16Le(data, &units) || units.back() != 0) return false;
  units.pop_back();
  for (char16_t unit : units)
    if (unit < 0x20) return false;
  *text = Utf16ToUtf8(units);
  return true;
}

void DescribeFile(const StoreChange& change, Environment& environment, std::vector<std::string>* out) {
  if (!change.after) {
    out->push_back("Remove the file " + change.path);
    return;
  }
  const std::vector<std::string> old_lines = change.before ? TextLines(*change.before, environment)
                                                           : std::vector<std::string>();
  const std::vector<std::string> new_lines = TextLines(*change.after, environment);
  out->push_back((change.before ? "Change the file " : "Create the file ") + change.path + ":");
  const std::vector<LineEdit> edits = DiffLines(old_lines, new_lines);
  for (size_t i = 0; i < edits.size(); ++i) {
    const LineEdit& edit = edits[i];
    if (edit.kind == LineEdit::Kind::kKeep) continue;
    if (edit.kind == LineEdit::Kind::kAdd) {
      out->push_back("  add line " + std::to_string(edit.new_line + 1) + ": " + new_lines[edit.new_line]);
      continue;
    }
    // A removed line right before an added one is replaced.
    if (i + 1 < edits.size() && edits[i + 1].kind == LineEdit::Kind::kAdd) {
      const LineEdit& added = edits[++i];
      out->push_back("  replace line " + std::to_string(edit.old_line + 1) + ": " + old_lines[edit.old_line]);
      out->push_back("    with line " + std::to_string(added.new_line + 1) + ": " + new_lines[added.new_line]);
      continue;
    }
    out->push_back("  remove line " + std::to_string(edit.old_line + 1) + ": " + old_lines[edit.old_line]);
  }
  if (old_lines == new_lines) out->push_back("  (the same lines, with other line ends or bytes)");
}

}  // namespace

std::string DescribeValue(uint32_t type, const std::string& data) {
  switch (type) {
    case regtype::kSz:
      return "REG_SZ \"" + data.substr(0, data.find('\0')) + "\"";
    case regtype::kExpandSz:
      return "REG_EXPAND_SZ \"" + data.substr(0, data.find('\0')) + "\"";
    case regtype::kMultiSz: {
      std::string list;
      for (size_t start = 0, end; start < data.size() && data[start] != '\0'; start = end + 1) {
        end = data.find('\0', start);
        if (end == std::string::npos) end = data.size();
        list += (list.empty() ? "\"" : ", \"") + data.substr(start, end - start) + "\"";
      }
      return "REG_MULTI_SZ " + list;
    }
    case regtype::kDword:
      if (data.size() == 4) return "REG_DWORD " + std::to_string(LittleEndianNumber(data, 4));
      break;
    case regtype::kQword:
      if (data.size() == 8) return "REG_QWORD " + std::to_string(LittleEndianNumber(data, 8));
      break;
    case regtype::kBinary: {
      std::string text;
      return "REG_BINARY " + HexBytes(data, " ") + (BinaryText(data, &text) ? " (\"" + text + "\")" : "");
    }
    default:
      break;
  }
  return "type " + std::to_string(type) + " " + HexBytes(data, " ");
}

std::vector<std::string> TextLines(const std::string& bytes, Environment& environment) {
  if (StartsWith(bytes, "\xFF\xFE")) {
    std::u16string units;
    if (ReadUtf16Le(bytes.substr(2), &units)) return SplitLines(Utf16ToUtf8(units));
  }
  const std::string text = StartsWith(bytes, kUtf8Mark) ? bytes.substr(kUtf8Mark.size()) : bytes;
  return SplitLines(IsValidUtf8(text) ? text : environment.FromAnsiCodePage(text));
}

std::vector<std::string> DescribeChanges(const StoreChanges& changes, Environment& environment) {
  std::vector<std::string> lines;
  for (const StoreChange& change : changes) {
    switch (change.kind) {
      case StoreChange::Kind::kKey:
        lines.push_back((change.after ? "Create the registry key " : "Delete the registry key ") + KeyName(change));
        break;
      case StoreChange::Kind::kValue: {
        const std::string was =
            change.before ? ", was " + DescribeValue(change.value_type_before, *change.before) : std::string();
        lines.push_back(change.after ? "Set the registry value " + ValueName(change) + " to " +
                                           DescribeValue(change.value_type_after, *change.after) + was
                                     : "Delete the registry value " + ValueName(change) + was);
        break;
      }
      case StoreChange::Kind::kFolder:
        lines.push_back((change.after ? "Create the folder " : "Remove the folder ") + change.path);
        break;
      case StoreChange::Kind::kFile:
        DescribeFile(change, environment, &lines);
        break;
      case StoreChange::Kind::kService:
        lines.push_back("Create the MAPI service " + change.name + " \"" + change.detail + "\" in the profile \"" +
                        change.path + "\"");
        break;
      case StoreChange::Kind::kClose:
        lines.push_back("Close the running mail client " + change.name + " (process " + change.detail + ")");
        break;
    }
  }
  return lines;
}

}  // namespace pw
