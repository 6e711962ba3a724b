// -whatif and -restore over every writer's scenarios, on the twin: a what-if
// run changes nothing and lists exactly the changes the real run then makes,
// in its order; a restore brings every store back byte for byte and value for
// value; an item changed in between is kept and named, the others restored.
#include <gtest/gtest.h>

#include <sstream>

#include "Scenarios.h"
#include "platform/changes/StoreChange.h"
#include "run/Backup.h"
#include "run/BackupManifest.h"
#include "run/ChangeListing.h"
#include "run/RestoreRun.h"

namespace pw {
namespace reliability {
namespace {

const std::string kBackupsFolder = std::string(kBackups) + "\\Backups";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

BackupManifest LastManifest(MemoryPlatform& machine) {
  const std::vector<std::string> backups = Backup::List(machine.files, kBackupsFolder);
  if (backups.empty()) return BackupManifest();
  return ReadBackupManifest(machine.files.FileBytes(backups.back() + "\\manifest.txt"));
}

// What the real run made, from its backup and the machine as it left it,
// described as the what-if run describes its changes. The sections MAPI itself
// made for a new service, and what the run wrote into them, are the service's.
std::vector<std::string> MadeChanges(MemoryPlatform& machine, const MachineState& before) {
  const std::vector<std::string> backups = Backup::List(machine.files, kBackupsFolder);
  const BackupManifest manifest = LastManifest(machine);
  StoreChanges changes;
  for (const BackupItem& item : manifest.items) {
    StoreChange change{StoreChange::Kind::kService};
    change.root = item.root;
    change.path = item.path;
    change.name = item.name;
    switch (item.kind) {
      case BackupItem::Kind::kKey:
      case BackupItem::Kind::kFolder:
        change.kind = item.kind == BackupItem::Kind::kKey ? StoreChange::Kind::kKey : StoreChange::Kind::kFolder;
        if (item.before) change.before = "";
        if (item.after) change.after = "";
        break;
      case BackupItem::Kind::kValue: {
        change.kind = StoreChange::Kind::kValue;
        const std::string key = "K " + std::string(RootName(item.root)) + "\\" + item.path;
        if (!before.count(key) && !item.before) {
          bool made_by_run = false;
          for (const BackupItem& other : manifest.items)
            made_by_run = made_by_run || (other.kind == BackupItem::Kind::kKey && other.path == item.path);
          if (!made_by_run) continue;  // a section MAPI made
        }
        RegValue value;
        if (item.before && ParseValueText(*item.before, &value))
          change.before = value.data, change.value_type_before = value.type;
        if (item.after && ParseValueText(*item.after, &value))
          change.after = value.data, change.value_type_after = value.type;
        break;
      }
      case BackupItem::Kind::kFile:
        change.kind = StoreChange::Kind::kFile;
        if (item.before) change.before = machine.files.FileBytes(backups.back() + "\\" + *item.before);
        if (machine.files.HasFile(item.path)) change.after = machine.files.FileBytes(item.path);
        break;
      case BackupItem::Kind::kService:
        change.after = item.detail;
        change.detail = item.detail;
        break;
    }
    const bool same = change.before == change.after && change.value_type_before == change.value_type_after;
    if (!same) changes.push_back(change);
  }
  return DescribeChanges(changes, machine.environment);
}

// The first settings file the run wrote, else the first value it set: what
// a person could change again by hand.
std::optional<BackupItem> ChangedItem(const BackupManifest& manifest) {
  std::optional<BackupItem> value;
  for (const BackupItem& item : manifest.items) {
    if (item.kind == BackupItem::Kind::kFile && item.after) return item;
    if (!value && item.kind == BackupItem::Kind::kValue && item.after && item.before != item.after) value = item;
  }
  return value;
}

TEST(WhatIfAndRestore, WhatIfListsTheRunsChangesAndRestoreTakesThemBack) {
  for (const Scenario& scenario : Scenarios()) {
    SCOPED_TRACE(std::string(scenario.writer) + ", " + scenario.name);
    auto machine = std::make_shared<MemoryPlatform>();
    SeedMachine(*machine, scenario.machine);
    const Outcome listed = RunOn(machine, scenario, std::string(scenario.command_line) + " -whatif", kNoFault);
    EXPECT_EQ(0, listed.exit_status) << listed.closing;
    EXPECT_EQ(listed.before, listed.after) << "a what-if run changes nothing";
    EXPECT_TRUE(Backup::List(machine->files, kBackupsFolder).empty()) << "nor keeps a backup";
    EXPECT_EQ(std::string("* What-if Run Complete (nothing was changed) at 14:05:09 on 12/07/08 *"), listed.closing);

    // The real run on a machine of its own: the twin hands out identifiers
    // in order, so a new Windows Mail account file gets the same name.
    machine = std::make_shared<MemoryPlatform>();
    SeedMachine(*machine, scenario.machine);
    const Outcome real = RunOn(machine, scenario, scenario.command_line, kNoFault);
    ASSERT_EQ(0, real.exit_status) << real.closing;
    std::vector<std::string> made = MadeChanges(*machine, real.before);
    made.insert(made.begin(), "Postwright: The run would make these changes:");
    EXPECT_EQ(made, Lines(listed.out)) << "the what-if run lists exactly what the real run made, in its order";

    const Outcome restored = RunOn(machine, scenario, "-restore", kNoFault);
    EXPECT_EQ(0, restored.exit_status) << restored.closing;
    EXPECT_EQ(real.before, restored.after) << "every store as it was";
    const Outcome again = RunOn(machine, scenario, "-restore", kNoFault);
    EXPECT_EQ(1, again.exit_status);
    EXPECT_EQ("Postwright: Nothing is left to restore. (log: " + std::string(kLogPath) + ")\n", again.err);

    // Changed by hand after the run: that item stays and is named, the rest is restored.
    auto changed = std::make_shared<MemoryPlatform>();
    SeedMachine(*changed, scenario.machine);
    const Outcome run = RunOn(changed, scenario, scenario.command_line, kNoFault);
    const std::optional<BackupItem> item = ChangedItem(LastManifest(*changed));
    ASSERT_TRUE(item.has_value());
    if (item->kind == BackupItem::Kind::kFile)
      changed->files.PutFile(item->path, changed->files.FileBytes(item->path) + "changed by hand\r\n");
    else
      changed->registry.Put(item->root, item->path, item->name, regtype::kSz, "changed by hand");
    const MachineState by_hand = Stores(*changed);
    const Outcome kept = RunOn(changed, scenario, "-restore", kNoFault);
    EXPECT_EQ(1, kept.exit_status);
    EXPECT_NE(std::string::npos, kept.err.find(DescribeItem(*item) + " was changed since that run")) << kept.err;
    // Expected: as before, but the item as changed by hand, with the keys or
    // folders the run made that hold it.
    MachineState expected = run.before;
    const bool file = item->kind == BackupItem::Kind::kFile;
    const std::string holder = file ? "D " + item->path.substr(0, item->path.rfind('\\') + 1)
                                    : "K " + std::string(RootName(item->root)) + "\\" + item->path;
    const std::string entry = file ? "F " + item->path : "V" + holder.substr(1) + "\\\"" + item->name + "\"";
    ASSERT_TRUE(by_hand.count(entry)) << entry;
    expected[entry] = by_hand.at(entry);
    for (const auto& e : by_hand)
      if (e.first[0] == holder[0] && holder.compare(0, e.first.size(), e.first) == 0 &&
          (holder.size() == e.first.size() || holder[e.first.size()] == '\\' || e.first.back() == '\\'))
        expected[e.first] = e.second;
    EXPECT_EQ(expected, kept.after);
  }
}

}  // namespace
}  // namespace reliability
}  // namespace pw
