// The manifest of a run's backup: a text file of the backup's folder, one
// record a line, fields separated by tabs. Before its first change, each item
// the run touches gets a "before" record; when the run ends, an "after"
// record says how the item stands then. A record's texts are escaped so that
// no name can break a line or a field.
//
//   key     HKCU  <path>                before  absent|present
//   value   HKCU  <key>   <name>        before  absent|<type>:<hex bytes>
//   file    <path>                      before  absent|<copy's file name>
//   folder  <path>                      before  absent|present
//   service <profile>  <service>  <display name>  made|<uid hex>
//   after   <the item's fields>         absent|present|<type>:<hex>|<size>:<last write>
//   end     <time>
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Mapi.h"
#include "platform/Registry.h"

namespace pw {

struct BackupItem {
  enum class Kind { kKey, kValue, kFile, kFolder, kService };
  BackupItem() = default;
  BackupItem(Kind kind, RegRoot root, std::string path, std::string name = {}, std::string detail = {})
      : kind(kind), root(root), path(std::move(path)), name(std::move(name)), detail(std::move(detail)) {}

  Kind kind = Kind::kKey;
  RegRoot root = RegRoot::kCurrentUser;
  std::string path;  // key, file or folder; a service's profile
  std::string name;  // a value's; a service's kind ("IMAIL")
  std::string detail;  // a service's display name
  // How it stood: for a key or folder "present" or none; a value's
  // "<type>:<hex>" or none; a file's copy or none; a service's identifier
  // ("made" until it is known).
  std::optional<std::string> before;
  // How the run left it (same forms; a file's "<size>:<last write>"); none
  // when the run ended before it could say.
  std::optional<std::string> after;
  bool after_known = false;
};

struct BackupManifest {
  std::string started;
  bool finished = false;
  std::vector<BackupItem> items;  // in the order of their first change
};

// One record's line, and the lines read back; unreadable lines are skipped.
std::string BeforeRecord(const BackupItem& item);
std::string AfterRecord(const BackupItem& item);
BackupManifest ReadBackupManifest(const std::string& bytes);

// A value as the manifest keeps it, and back.
std::string ValueText(const RegValue& value);
bool ParseValueText(const std::string& text, RegValue* value);
// A MAPI service's identifier as the manifest keeps it.
std::string ServiceIdText(const MapiUid& uid);

}  // namespace pw
