#include "run/Backup.h"

#include <algorithm>
#include <cstdio>

#include "platform/Text.h"

namespace pw {

const char kBackupsFolder[] = "Postwright\\Backups";
const char kManifestFile[] = "manifest.txt";

namespace {

// "20261209-092835": a backup folder's name, so that names sort as times.
std::string FolderName(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

// Makes the folders of `path` that are missing, from the drive down.
Status MakeFolders(FileSystem& files, const std::string& path) {
  std::string folder;
  for (const std::string& part : SplitPath(path, "\\/")) {
    folder += (folder.empty() ? "" : "\\") + part;
    if (folder.size() == 2 && folder[1] == ':') continue;
    const Status made = files.MakeFolder(folder);
    if (made && made != err::kAlreadyExists) return made;
  }
  return err::kSuccess;
}

}  // namespace

std::optional<std::string> FileStamp(FileSystem& files, const std::string& path) {
  FileAttributes attributes;
  if (files.ReadAttributes(path, &attributes)) return std::nullopt;
  return std::to_string(attributes.size) + ":" + std::to_string(attributes.last_write);
}

std::optional<std::string> ItemNow(const BackupItem& item, Registry& registry, FileSystem& files) {
  switch (item.kind) {
    case BackupItem::Kind::kKey: {
      RegKeyPtr key;
      if (registry.OpenKey(item.root, item.path, RegAccess::kRead, &key) == err::kFileNotFound) return std::nullopt;
      return std::string("present");
    }
    case BackupItem::Kind::kValue: {
      RegKeyPtr key;
      RegValue value;
      if (registry.OpenKey(item.root, item.path, RegAccess::kRead, &key) || key->QueryValue(item.name, &value))
        return std::nullopt;
      return ValueText(value);
    }
    case BackupItem::Kind::kFile:
      return FileStamp(files, item.path);
    case BackupItem::Kind::kFolder: {
      FileAttributes attributes;
      if (files.ReadAttributes(item.path, &attributes)) return std::nullopt;
      return std::string("present");
    }
    case BackupItem::Kind::kService:
      break;
  }
  return item.after;
}

Backup::Backup(FileSystem& files, Registry& registry, Clock& clock, std::optional<std::string> backups)
    : files_(files), registry_(registry), clock_(clock), backups_(std::move(backups)) {}

Backup::~Backup() = default;

std::vector<std::string> Backup::List(FileSystem& files, const std::string& backups) {
  std::vector<std::string> names;
  if (files.List(backups + "\\*", &names) != err::kSuccess) return {};
  std::vector<std::string> folders;
  for (const std::string& name : names) {
    FileAttributes attributes;
    if (files.ReadAttributes(backups + "\\" + name, &attributes) == err::kSuccess && attributes.folder)
      folders.push_back(backups + "\\" + name);
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

Status Backup::Remove(FileSystem& files, const std::string& folder) {
  std::vector<std::string> names;
  const Status listed = files.List(folder + "\\*", &names);
  if (listed && !IsMissing(listed)) return listed;
  Status first = err::kSuccess;
  for (const std::string& name : names) {
    const Status removed = files.Remove(folder + "\\" + name);
    if (!first) first = removed;
  }
  const Status removed = files.RemoveFolder(folder);
  return first ? first : removed;
}

// The first item makes the run's folder (and room for it among the kept
// ones) and opens the manifest, which then stays open for the run.
Status Backup::Begin() {
  if (!folder_.empty()) return err::kSuccess;
  if (Status s = MakeFolders(files_, *backups_)) return s;
  std::vector<std::string> old = List(files_, *backups_);
  for (size_t i = 0; old.size() - i >= kKept && i < old.size(); ++i)
    static_cast<void>(Remove(files_, old[i]));  // one that stays is one backup more
  const LocalTime now = clock_.Now();
  const std::string name = FolderName(now);
  std::string folder = *backups_ + "\\" + name;
  Status made = files_.MakeFolder(folder);
  for (int n = 2; made == err::kAlreadyExists && n < 100; ++n)
    made = files_.MakeFolder(folder = *backups_ + "\\" + name + "-" + std::to_string(n));
  if (made) return made;
  if (Status s = files_.OpenNew(folder + "\\" + kManifestFile, &manifest_)) {
    static_cast<void>(files_.RemoveFolder(folder));
    return s;
  }
  folder_ = folder;
  return manifest_->Write("postwright-backup\t1\r\nstarted\t" + TimeText(now) + "\r\n");
}

Status Backup::Record(BackupItem item) {
  if (Status s = manifest_->Write(BeforeRecord(item) + "\r\n")) return s;
  items_.push_back(std::move(item));
  return err::kSuccess;
}

Status Backup::KeepKey(RegRoot root, const std::string& path, bool existed) {
  if (!backups_) return err::kSuccess;
  if (Status s = Begin()) return s;
  BackupItem item{BackupItem::Kind::kKey, root, path};
  if (existed) item.before = "present";
  return Record(item);
}

Status Backup::KeepValue(RegRoot root, const std::string& key, const std::string& name,
                         const std::optional<RegValue>& before) {
  if (!backups_) return err::kSuccess;
  if (Status s = Begin()) return s;
  BackupItem item{BackupItem::Kind::kValue, root, key, name};
  if (before) item.before = ValueText(*before);
  return Record(item);
}

// A file that is there is copied into the backup before it is touched.
Status Backup::KeepFile(const std::string& path) {
  if (!backups_) return err::kSuccess;
  if (Status s = Begin()) return s;
  BackupItem item{BackupItem::Kind::kFile, RegRoot::kCurrentUser, path};
  FileAttributes attributes;
  const Status there = files_.ReadAttributes(path, &attributes);
  if (there && !IsMissing(there)) return there;
  if (!there) {
    const std::string copy = "file-" + std::to_string(++copies_);
    if (Status s = files_.Copy(path, folder_ + "\\" + copy)) return s;
    item.before = copy;
  }
  return Record(item);
}

Status Backup::KeepFolder(const std::string& path, bool existed) {
  if (!backups_) return err::kSuccess;
  if (Status s = Begin()) return s;
  BackupItem item{BackupItem::Kind::kFolder, RegRoot::kCurrentUser, path};
  if (existed) item.before = "present";
  return Record(item);
}

// A service is noted before MAPI makes it; its identifier, once it is made,
// right away: a run cut off later can still be taken back.
HResult Backup::BeforeCreate(const std::string& profile, const std::string& service,
                             const std::string& display_name) {
  if (!backups_) return hres::kOk;
  BackupItem item{BackupItem::Kind::kService, RegRoot::kCurrentUser, profile, service, display_name};
  Status s = Begin();
  if (!s) s = Record(item);
  return HResultOfStatus(s);
}

void Backup::Created(const std::string& profile, const std::optional<MapiUid>& uid) {
  if (!backups_ || items_.empty() || items_.back().kind != BackupItem::Kind::kService) return;
  BackupItem& item = items_.back();
  item.after = uid ? ServiceIdText(*uid) : std::string("unknown");
  item.after_known = true;
  static_cast<void>(profile);
  static_cast<void>(manifest_->Write(AfterRecord(item) + "\r\n"));
}

void Backup::Finish() {
  if (folder_.empty()) return;
  bool changed = false;
  for (BackupItem& item : items_) {
    if (item.kind != BackupItem::Kind::kService) {
      item.after = ItemNow(item, registry_, files_);
      item.after_known = true;
    }
    // A service's identifier is written again: its first record may have failed.
    if (item.after_known) static_cast<void>(manifest_->Write(AfterRecord(item) + "\r\n"));
    switch (item.kind) {
      case BackupItem::Kind::kFile: {
        // A file that is as it was keeps its size and last-write time (the copy has them too).
        const std::optional<std::string> was =
            item.before ? FileStamp(files_, folder_ + "\\" + *item.before) : std::nullopt;
        changed = changed || was != item.after;
        break;
      }
      case BackupItem::Kind::kService:
        changed = changed || item.after_known;  // made
        break;
      default:
        changed = changed || item.before != item.after;
    }
  }
  static_cast<void>(manifest_->Write("end\t" + TimeText(clock_.Now()) + "\r\n"));
  static_cast<void>(manifest_->Flush());
  static_cast<void>(manifest_->Close());
  manifest_.reset();
  if (!changed) static_cast<void>(Remove(files_, folder_));
}

}  // namespace pw
