#include "run/RestoreRun.h"

#include "platform/SafeReplace.h"
#include "run/Backup.h"

namespace pw {

std::string DescribeItem(const BackupItem& item) {
  const std::string key = std::string(RootName(item.root)) + "\\" + item.path;
  switch (item.kind) {
    case BackupItem::Kind::kKey: return "the registry key " + key;
    case BackupItem::Kind::kValue:
      return "the registry value " + key + " " + (item.name.empty() ? "(default)" : "\"" + item.name + "\"");
    case BackupItem::Kind::kFile: return item.path;
    case BackupItem::Kind::kFolder: return "the folder " + item.path;
    case BackupItem::Kind::kService: break;
  }
  return "the MAPI service " + item.name + " \"" + item.detail + "\" in the profile \"" + item.path + "\"";
}

RestoreReport RestoreRun::Restore() {
  RestoreReport report;
  if (!backups_) return report;
  const std::vector<std::string> backups = Backup::List(platform_.files, *backups_);
  if (backups.empty()) return report;
  folder_ = backups.back();
  report.backup = folder_;
  std::string bytes;
  const std::string manifest_path = folder_ + "\\" + kManifestFile;
  if (Status s = platform_.files.ReadAll(manifest_path, &bytes)) {
    report.failed.push_back("Unable to read " + manifest_path + " (error code: " + std::to_string(s) + ").");
    return report;
  }
  const BackupManifest manifest = ReadBackupManifest(bytes);
  report.started = manifest.started;
  for (auto it = manifest.items.rbegin(); it != manifest.items.rend(); ++it) {
    Status status = err::kSuccess;
    const Result result = RestoreItem(*it, manifest.finished, &status);
    const std::string what = DescribeItem(*it);
    switch (result) {
      case Result::kAlready: break;
      case Result::kRestored:
        report.restored.push_back((it->before ? "Restored " : "Removed ") + what);
        break;
      case Result::kKept: report.kept.push_back(what + " was changed since that run; it is left as it is."); break;
      case Result::kUnfinished:
        report.kept.push_back(what + " was changed by that run, which did not finish; it is left as it is.");
        break;
      case Result::kFailed:
        report.failed.push_back("Unable to restore " + what + " (error code: " + std::to_string(status) + ").");
        break;
    }
  }
  return report;
}

RestoreRun::Result RestoreRun::RestoreItem(const BackupItem& item, bool finished, Status* status) {
  switch (item.kind) {
    case BackupItem::Kind::kValue: return RestoreValue(item, status);
    case BackupItem::Kind::kKey: return RestoreKey(item, status);
    case BackupItem::Kind::kFile: return RestoreFile(item, status);
    case BackupItem::Kind::kFolder: return RestoreFolder(item, status);
    case BackupItem::Kind::kService: break;
  }
  return RestoreService(item, finished, status);
}

// Only a value that holds what the run left is put back.
RestoreRun::Result RestoreRun::RestoreValue(const BackupItem& item, Status* status) {
  Registry& registry = platform_.registry;
  const std::optional<std::string> now = ItemNow(item, registry, platform_.files);
  if (now == item.before) return Result::kAlready;
  if (!item.after_known) return Result::kUnfinished;
  if (now != item.after) return Result::kKept;
  if (item.before) {
    RegValue before;
    if (!ParseValueText(*item.before, &before)) return Result::kKept;
    RegKeyPtr key;
    *status = registry.CreateKey(item.root, item.path, RegAccess::kAllAccess, &key);
    if (!*status) *status = key->SetValue(item.name, before.type, before.data);
  } else {
    RegKeyPtr key;
    *status = registry.OpenKey(item.root, item.path, RegAccess::kAllAccess, &key);
    if (!*status) *status = key->DeleteValue(item.name);
  }
  return *status ? Result::kFailed : Result::kRestored;
}

// A key the run made goes when it holds nothing more than the run left (its
// values are put back before it).
RestoreRun::Result RestoreRun::RestoreKey(const BackupItem& item, Status* status) {
  Registry& registry = platform_.registry;
  const bool there = ItemNow(item, registry, platform_.files).has_value();
  if (there == item.before.has_value()) return Result::kAlready;
  if (!item.after_known) return Result::kUnfinished;
  if (there != item.after.has_value()) return Result::kKept;
  RegKeyPtr key;
  if (item.before) {
    *status = registry.CreateKey(item.root, item.path, RegAccess::kAllAccess, &key);
    return *status ? Result::kFailed : Result::kRestored;
  }
  // There, but not to be read: left as it is.
  if (registry.OpenKey(item.root, item.path, RegAccess::kRead, &key)) return Result::kKept;
  uint32_t values = 0, subkeys = 0;
  if (Status s = key->CountValues(&values)) return *status = s, Result::kFailed;
  if (Status s = key->CountSubkeys(&subkeys)) return *status = s, Result::kFailed;
  key.reset();
  if (values > 0 || subkeys > 0) return Result::kKept;
  *status = registry.DeleteKey(item.root, item.path);
  return *status ? Result::kFailed : Result::kRestored;
}

// A file that still holds what the run wrote (its size and last-write time)
// gets its previous bytes back, through a copy beside it and one replace; one
// the run made goes.
RestoreRun::Result RestoreRun::RestoreFile(const BackupItem& item, Status* status) {
  const std::optional<std::string> now = ItemNow(item, platform_.registry, platform_.files);
  const std::string copy = item.before ? folder_ + "\\" + *item.before : std::string();
  const std::optional<std::string> was = item.before ? FileStamp(platform_.files, copy) : std::nullopt;
  if (item.before && !was) return *status = err::kFileNotFound, Result::kFailed;
  if (now == was) return Result::kAlready;
  if (!item.after_known) return Result::kUnfinished;
  if (now != item.after) return Result::kKept;
  if (!item.before) {
    *status = platform_.files.Remove(item.path);
  } else {
    *status = SafeReplace(platform_.files, platform_.clock).CopyOver(copy, item.path, item.path + ".restore").status;
  }
  return *status ? Result::kFailed : Result::kRestored;
}

RestoreRun::Result RestoreRun::RestoreFolder(const BackupItem& item, Status* status) {
  const bool there = ItemNow(item, platform_.registry, platform_.files).has_value();
  if (there == item.before.has_value()) return Result::kAlready;
  if (!item.after_known) return Result::kUnfinished;
  if (there != item.after.has_value()) return Result::kKept;
  *status = item.before ? platform_.files.MakeFolder(item.path) : platform_.files.RemoveFolder(item.path);
  if (*status == err::kDirNotEmpty) return Result::kKept;
  return *status ? Result::kFailed : Result::kRestored;
}

// Through MAPI, which removes all it made for the service. A backup that
// was finished names every service that was made.
RestoreRun::Result RestoreRun::RestoreService(const BackupItem& item, bool finished, Status* status) {
  if (!item.after_known) return finished ? Result::kAlready : Result::kUnfinished;
  if (*item.after == "unknown") return Result::kUnfinished;
  Mapi& mapi = platform_.mapi;
  HResult result = mapi.Initialize();
  if (Failed(result)) return *status = StatusOfHResult(result), Result::kFailed;
  Result outcome = Result::kAlready;
  {
    MapiProfileAdminPtr profiles;
    MapiServiceAdminPtr services;
    std::vector<MapiUid> uids;
    result = mapi.AdminProfiles(&profiles);
    if (!Failed(result)) result = profiles->AdminServices(item.path, &services);
    if (!Failed(result)) result = services->ServiceUids(&uids);
    for (const MapiUid& uid : uids)
      if (!Failed(result) && ServiceIdText(uid) == *item.after) {
        result = services->DeleteMsgService(uid);
        outcome = Result::kRestored;
      }
    if (Failed(result)) outcome = Result::kFailed, *status = StatusOfHResult(result);
  }
  mapi.Uninitialize();
  return outcome;
}

}  // namespace pw
