// What the Outlook writer tests share: a twin machine with a run log, and
// account keys compared with the values of outlook/OutlookFixtures.h.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "outlook/OutlookFixtures.h"
#include "unit/clients/registry/RegistryTestSupport.h"

namespace pw {

const std::string kProfilesKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

// The key holds the values, type and bytes; a new key these and no others, in
// the order they were written.
inline void ExpectStoredValues(MemoryRegistry& registry, const std::string& path,
                               const std::vector<fixtures::StoredValue>& expected, bool new_key = true) {
  std::vector<std::string> names;
  for (const fixtures::StoredValue& value : expected) {
    names.push_back(value.name);
    RegValue actual;
    ASSERT_TRUE(registry.Get(RegRoot::kCurrentUser, path, value.name, &actual)) << value.name;
    EXPECT_EQ(value.type, actual.type) << value.name;
    EXPECT_EQ(value.bytes, actual.data) << value.name;
  }
  if (new_key) {
    EXPECT_EQ(names, registry.ValueNames(RegRoot::kCurrentUser, path));
  }
}

}  // namespace pw
