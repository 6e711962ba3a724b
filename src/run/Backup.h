// A run's way back. Before the first change of each item the run touches,
// the backup keeps how it stood: a settings file's bytes (a copy), a registry
// value's type and bytes, whether a key or folder was there, a MAPI service
// about to be made. It lives in a folder of its own below the user's local
// (not roaming) application data, "Postwright\Backups\<date>-<time>", with a
// manifest (BackupManifest). When the run ends, the manifest says how each
// item stands then; a run that changed nothing leaves no backup. The last
// kKept backups are kept, older ones removed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Mapi.h"
#include "platform/Registry.h"
#include "platform/System.h"
#include "platform/changes/ChangeJournal.h"
#include "platform/changes/WatchedMapi.h"
#include "run/BackupManifest.h"

namespace pw {

// The folder below the local application data that holds the backups, and
// the manifest's name in each backup's folder.
extern const char kBackupsFolder[];
extern const char kManifestFile[];

// How the item stands now, in the manifest's form: none when it is not there
// (a service: what its records say).
std::optional<std::string> ItemNow(const BackupItem& item, Registry& registry, FileSystem& files);
// A file's size and last-write time, as the manifest keeps how a run left a
// file; none when the file cannot be read.
std::optional<std::string> FileStamp(FileSystem& files, const std::string& path);

class Backup : public ChangeJournal, public MapiWatch {
 public:
  static constexpr size_t kKept = 10;

  // `backups`: the folder of all backups; none when it is not known, and then
  // no backup is kept (the run says so in its log). `files` and `registry`
  // are the machine's own, below any journal.
  Backup(FileSystem& files, Registry& registry, Clock& clock, std::optional<std::string> backups);
  ~Backup() override;

  Status KeepKey(RegRoot root, const std::string& path, bool existed) override;
  Status KeepValue(RegRoot root, const std::string& key, const std::string& name,
                   const std::optional<RegValue>& before) override;
  Status KeepFile(const std::string& path) override;
  Status KeepFolder(const std::string& path, bool existed) override;
  HResult BeforeCreate(const std::string& profile, const std::string& service,
                       const std::string& display_name) override;
  void Created(const std::string& profile, const std::optional<MapiUid>& uid) override;

  // After the run: how each item stands now. A backup of a run that changed
  // nothing goes again.
  void Finish();
  bool available() const { return backups_.has_value(); }

  // The backups, oldest first.
  static std::vector<std::string> List(FileSystem& files, const std::string& backups);
  // Removes a backup's files and folder; the first failure.
  static Status Remove(FileSystem& files, const std::string& folder);

 private:
  Status Begin();
  Status Record(BackupItem item);

  FileSystem& files_;
  Registry& registry_;
  Clock& clock_;
  std::optional<std::string> backups_;
  std::string folder_;     // this run's; empty until its first item
  OutputFilePtr manifest_;
  std::vector<BackupItem> items_;
  int copies_ = 0;
};

}  // namespace pw
