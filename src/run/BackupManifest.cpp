#include "run/BackupManifest.h"

#include "clients/files/SettingsLines.h"
#include "platform/Text.h"

namespace pw {

namespace {

// Backslash, tab and line ends escaped; every other byte as it is.
std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  return out;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(Unescape(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

std::string Join(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields) line += (line.empty() ? "" : "\t") + Escape(field);
  return line;
}

const char* KindName(BackupItem::Kind kind) {
  switch (kind) {
    case BackupItem::Kind::kKey: return "key";
    case BackupItem::Kind::kValue: return "value";
    case BackupItem::Kind::kFile: return "file";
    case BackupItem::Kind::kFolder: return "folder";
    case BackupItem::Kind::kService: break;
  }
  return "service";
}

std::optional<RegRoot> RootOf(const std::string& name) {
  for (RegRoot root : {RegRoot::kCurrentUser, RegRoot::kLocalMachine, RegRoot::kClassesRoot})
    if (name == RootName(root)) return root;
  return std::nullopt;
}

// The fields that name the item, after its kind.
std::vector<std::string> Identity(const BackupItem& item) {
  switch (item.kind) {
    case BackupItem::Kind::kKey: return {RootName(item.root), item.path};
    case BackupItem::Kind::kValue: return {RootName(item.root), item.path, item.name};
    case BackupItem::Kind::kFile:
    case BackupItem::Kind::kFolder: return {item.path};
    case BackupItem::Kind::kService: break;
  }
  return {item.path, item.name, item.detail};
}

std::string State(const std::optional<std::string>& state) { return state ? "=" + *state : std::string("absent"); }

std::optional<std::string> ParseState(const std::string& field) {
  if (field == "absent") return std::nullopt;
  return field.substr(1);
}

}  // namespace

std::string ValueText(const RegValue& value) {
  return std::to_string(value.type) + ":" + HexBytes(value.data);
}

std::string ServiceIdText(const MapiUid& uid) {
  return HexBytes(std::string(uid.begin(), uid.end()));
}

bool ParseValueText(const std::string& text, RegValue* value) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || (text.size() - colon - 1) % 2 != 0) return false;
  value->type = static_cast<uint32_t>(AtoiLike(text.substr(0, colon)));
  value->data.clear();
  for (size_t i = colon + 1; i + 1 < text.size(); i += 2) {
    const int high = HexDigitValue(static_cast<unsigned char>(text[i]));
    const int low = HexDigitValue(static_cast<unsigned char>(text[i + 1]));
    if (high < 0 || low < 0) return false;
    value->data += static_cast<char>(high * 16 + low);
  }
  return true;
}

std::string BeforeRecord(const BackupItem& item) {
  std::vector<std::string> fields = {KindName(item.kind)};
  for (const std::string& field : Identity(item)) fields.push_back(field);
  fields.push_back("before");
  fields.push_back(State(item.before));
  return Join(fields);
}

std::string AfterRecord(const BackupItem& item) {
  std::vector<std::string> fields = {"after", KindName(item.kind)};
  for (const std::string& field : Identity(item)) fields.push_back(field);
  fields.push_back(State(item.after));
  return Join(fields);
}

BackupManifest ReadBackupManifest(const std::string& bytes) {
  BackupManifest manifest;
  for (const std::string& line : SplitLines(bytes)) {
    const std::vector<std::string> f = Fields(line);
    if (f.size() == 2 && f[0] == "started") manifest.started = f[1];
    if (f.size() == 2 && f[0] == "end") manifest.finished = true;
    const bool after = !f.empty() && f[0] == "after";
    const std::vector<std::string> rest(f.begin() + (after ? 1 : 0), f.end());
    if (rest.empty()) continue;
    BackupItem item;
    size_t state = 0;
    if (rest[0] == "key" && rest.size() >= 4) {
      item.kind = BackupItem::Kind::kKey, item.path = rest[2], state = 3;
    } else if (rest[0] == "value" && rest.size() >= 5) {
      item.kind = BackupItem::Kind::kValue, item.path = rest[2], item.name = rest[3], state = 4;
    } else if ((rest[0] == "file" || rest[0] == "folder") && rest.size() >= 3) {
      item.kind = rest[0] == "file" ? BackupItem::Kind::kFile : BackupItem::Kind::kFolder;
      item.path = rest[1], state = 2;
    } else if (rest[0] == "service" && rest.size() >= 5) {
      item.kind = BackupItem::Kind::kService, item.path = rest[1], item.name = rest[2], item.detail = rest[3];
      state = 4;
    } else {
      continue;
    }
    if (item.kind == BackupItem::Kind::kKey || item.kind == BackupItem::Kind::kValue) {
      const std::optional<RegRoot> root = RootOf(rest[1]);
      if (!root) continue;
      item.root = *root;
    }
    if (!after && rest.size() == state + 2 && rest[state] == "before") {
      item.before = ParseState(rest[state + 1]);
      manifest.items.push_back(item);
    } else if (after && rest.size() == state + 1) {
      // The after record of the item with the same identity (the last one made).
      for (auto it = manifest.items.rbegin(); it != manifest.items.rend(); ++it) {
        if (it->kind != item.kind || it->root != item.root || it->path != item.path || it->name != item.name) continue;
        it->after = ParseState(rest[state]);
        it->after_known = true;
        break;
      }
    }
  }
  return manifest;
}

}  // namespace pw
