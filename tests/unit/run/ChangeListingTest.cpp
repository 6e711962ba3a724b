// What a what-if run shows an administrator: every kind of change, one whole
// listing asserted at once.
#include <gtest/gtest.h>

#include "platform/memory/MemorySystem.h"
#include "run/ChangeListing.h"

namespace pw {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

StoreChange Value(const std::string& name, std::optional<RegValue> before, std::optional<RegValue> after) {
  StoreChange change(StoreChange::Kind::kValue);
  change.path = "Software\\Quillset";
  change.name = name;
  if (before) change.before = before->data, change.value_type_before = before->type;
  if (after) change.after = after->data, change.value_type_after = after->type;
  return change;
}

StoreChange Item(StoreChange::Kind kind, const std::string& path, std::optional<std::string> before,
                 std::optional<std::string> after) {
  StoreChange change(kind);
  change.root = RegRoot::kLocalMachine;
  change.path = path;
  change.before = std::move(before);
  change.after = std::move(after);
  return change;
}

TEST(ChangeListing, EveryKindOfChangeInTheOrderGiven) {
  StoreChange service(StoreChange::Kind::kService);
  service.path = "Outlook";
  service.name = "IMAIL";
  service.detail = "jo@quillset.example";
  StoreChange close(StoreChange::Kind::kClose);
  close.name = "thunderbird.exe";
  close.detail = "412";
  const StoreChanges changes = {
      Item(StoreChange::Kind::kKey, "Software\\New", std::nullopt, ""),
      Item(StoreChange::Kind::kKey, "Software\\Old", "", std::nullopt),
      Value("", std::nullopt, RegValue{regtype::kSz, "Jo\0"s}),
      Value("Root", RegValue{regtype::kExpandSz, "%A%\0"s}, RegValue{regtype::kExpandSz, "%B%\0"s}),
      Value("List", std::nullopt, RegValue{regtype::kMultiSz, "a\0b\0\0"s}),
      Value("Port", RegValue{regtype::kDword, "\x6e\0\0\0"s}, RegValue{regtype::kDword, "\xe3\x03\0\0"s}),
      Value("Big", std::nullopt, RegValue{regtype::kQword, "\0\0\0\0\1\0\0\0"s}),
      Value("Name", std::nullopt, RegValue{regtype::kBinary, "J\0o\0\0\0"s}),
      Value("Blob", std::nullopt, RegValue{regtype::kBinary, "\x01\xff"s}),
      Value("Odd", RegValue{regtype::kDword, "\1\2"s}, std::nullopt),
      Value("Gone", RegValue{9, "\xab"s}, std::nullopt),
      Item(StoreChange::Kind::kFolder, "C:\\Profiles\\new", std::nullopt, ""),
      Item(StoreChange::Kind::kFolder, "C:\\Profiles\\old", "", std::nullopt),
      // A line replaced, one added, one removed, and one removed right
      // before a replaced one; CR LF before, LF after.
      Item(StoreChange::Kind::kFile, "C:\\Profiles\\prefs.js", "h\r\na\r\nb\r\nc\r\nd\r\nz\r\nk\r\nx\r\ny\r\nt\r\n"s,
           "h\na\nB\nc\nn\nd\nk\nY\nt\n"s),
      Item(StoreChange::Kind::kFile, "C:\\same.ini", "x\r\n"s, "x\n"s),
      Item(StoreChange::Kind::kFile, "C:\\new.ini", std::nullopt, "\xEF\xBB\xBFone\r\ntwo"s),
      Item(StoreChange::Kind::kFile, "C:\\old.ini", "gone"s, std::nullopt),
      service,
      close,
  };
  MemoryEnvironment environment;
  EXPECT_EQ((Lines{
                "Create the registry key HKLM\\Software\\New",
                "Delete the registry key HKLM\\Software\\Old",
                "Set the registry value HKCU\\Software\\Quillset (default) to REG_SZ \"Jo\"",
                "Set the registry value HKCU\\Software\\Quillset \"Root\" to REG_EXPAND_SZ \"%B%\", was "
                "REG_EXPAND_SZ \"%A%\"",
                "Set the registry value HKCU\\Software\\Quillset \"List\" to REG_MULTI_SZ \"a\", \"b\"",
                "Set the registry value HKCU\\Software\\Quillset \"Port\" to REG_DWORD 995, was REG_DWORD 110",
                "Set the registry value HKCU\\Software\\Quillset \"Big\" to REG_QWORD 4294967296",
                "Set the registry value HKCU\\Software\\Quillset \"Name\" to REG_BINARY 4a 00 6f 00 00 00 (\"Jo\")",
                "Set the registry value HKCU\\Software\\Quillset \"Blob\" to REG_BINARY 01 ff",
                "Delete the registry value HKCU\\Software\\Quillset \"Odd\", was type 4 01 02",
                "Delete the registry value HKCU\\Software\\Quillset \"Gone\", was type 9 ab",
                "Create the folder C:\\Profiles\\new",
                "Remove the folder C:\\Profiles\\old",
                "Change the file C:\\Profiles\\prefs.js:",
                "  replace line 3: b",
                "    with line 3: B",
                "  add line 5: n",
                "  remove line 6: z",
                "  remove line 8: x",
                "  replace line 9: y",
                "    with line 8: Y",
                "Change the file C:\\same.ini:",
                "  (the same lines, with other line ends or bytes)",
                "Create the file C:\\new.ini:",
                "  add line 1: one",
                "  add line 2: two",
                "Remove the file C:\\old.ini",
                "Create the MAPI service IMAIL \"jo@quillset.example\" in the profile \"Outlook\"",
                "Close the running mail client thunderbird.exe (process 412)",
            }),
            DescribeChanges(changes, environment));
}

}  // namespace
}  // namespace pw
