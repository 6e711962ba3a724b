// Takes the last changing run back, item by item, newest change first, from
// its backup: a replaced file gets its previous bytes, a changed value its
// previous data, a created file, folder, key or MAPI service goes again. Only
// where the store still holds what that run left: an item changed since is
// kept as it is and named. An item already as it was needs nothing, so a
// restore cut off halfway is finished by the next.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/RunLog.h"
#include "platform/Platform.h"
#include "run/BackupManifest.h"

namespace pw {

struct RestoreReport {
  std::string backup;                 // the backup's folder; empty when there is none
  std::string started;                // when that run started
  std::vector<std::string> restored;  // "Restored ...", "Removed ...": the log's lines
  std::vector<std::string> kept;      // what was left as it is, and why
  std::vector<std::string> failed;    // what could not be put back
};

class RestoreRun {
 public:
  // `platform` is the machine's own (the restore keeps no backup of its own).
  RestoreRun(Platform& platform, std::optional<std::string> backups)
      : platform_(platform), backups_(std::move(backups)) {}

  RestoreReport Restore();

 private:
  enum class Result { kRestored, kAlready, kKept, kUnfinished, kFailed };

  Result RestoreItem(const BackupItem& item, bool finished, Status* status);
  Result RestoreValue(const BackupItem& item, Status* status);
  Result RestoreKey(const BackupItem& item, Status* status);
  Result RestoreFile(const BackupItem& item, Status* status);
  Result RestoreFolder(const BackupItem& item, Status* status);
  Result RestoreService(const BackupItem& item, bool finished, Status* status);

  Platform& platform_;
  std::optional<std::string> backups_;
  std::string folder_;  // the backup's
};

// How the log names an item: "C:\...\prefs.js", "the registry value HKCU\...
// "Name"" and so on.
std::string DescribeItem(const BackupItem& item);

}  // namespace pw
