// What the Outlook end-to-end tests share: Outlook registered at a version,
// a run whose log is read from a given line on, and account keys read back
// value by value (the values of outlook/OutlookFixtures.h).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../outlook/OutlookFixtures.h"
#include "WineBed.h"

namespace pw {
namespace outlook {

using Lines = std::vector<std::string>;
using Values = std::vector<fixtures::StoredValue>;

const std::string kProfiles =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
// Points mail links at Outlook, which makes it the default client.
const char kOutlookMailLink[] = "\"C:\\Program Files\\Microsoft Office\\Office\\OUTLOOK.EXE\" -c IPM.Note /m \"%1\"";

// Outlook installed for the machine, as detection reads its version.
inline void RegisterOutlook(int version) {
  bed::SeedText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail\\Microsoft Outlook", "MSIApplicationLCID",
                "Software\\Microsoft\\Office\\" + std::to_string(version) + ".0\\Outlook");
}

inline void MakeOutlookTheDefaultClient() {
  bed::SeedText(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", "", kOutlookMailLink);
}

// Runs Postwright.exe on a fresh log. The log's lines from the first that is
// `first` on, the closing line's time cut out.
inline bed::RunResult RunAndReadLog(const std::string& arguments, const std::string& first, Lines* lines) {
  bed::RemovePath(bed::LogPath());
  const bed::RunResult run = bed::RunPostwright(arguments);
  EXPECT_TRUE(run.started);
  EXPECT_FALSE(run.timed_out);
  lines->clear();
  bool in = false;
  for (std::string line : bed::LogLines()) {
    in = in || line == first;
    if (!in) continue;
    if (line.rfind("* Configuration ", 0) == 0) line = line.substr(0, line.find(" at ") + 4) + "(time) *";
    lines->push_back(line);
  }
  return run;
}

// The key holds these values and, when `only` is set, no others. (Wine
// enumerates a key's values sorted by name, so the order they were written in
// does not show here.)
inline void ExpectValues(const std::string& key, const Values& expected, bool only = true) {
  std::set<std::string> names;
  for (const fixtures::StoredValue& value : expected) {
    names.insert(value.name);
    const std::optional<bed::Value> actual = bed::ReadValue(HKEY_CURRENT_USER, key, value.name);
    ASSERT_TRUE(actual.has_value()) << key << ": " << value.name;
    EXPECT_EQ(value.type, actual->type) << value.name;
    EXPECT_EQ(value.bytes, actual->bytes) << value.name;
  }
  if (only) {
    const Lines stored = bed::ValueNames(HKEY_CURRENT_USER, key);
    EXPECT_EQ(names, std::set<std::string>(stored.begin(), stored.end()));
  }
}

inline Lines Join(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace outlook
}  // namespace pw
