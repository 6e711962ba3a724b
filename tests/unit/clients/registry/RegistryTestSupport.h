// What the registry writer tests share: a twin machine with an open run log,
// and a byte-exact listing of a registry subtree to compare before and after.
#pragma once

#include <cstdio>
#include <string>

#include "app/RunLog.h"
#include "platform/memory/MemoryPlatform.h"

namespace pw {

// Every key below `path`, each with its values as "name" type hex-bytes, in
// enumeration order.
inline std::string DumpRegistry(MemoryRegistry& registry, RegRoot root, const std::string& path) {
  RegKeyPtr key;
  if (registry.OpenKey(root, path, RegAccess::kRead, &key)) return "(missing " + path + ")\n";
  std::string dump = "[" + path + "]\n";
  for (const std::string& name : registry.ValueNames(root, path)) {
    RegValue value;
    registry.Get(root, path, name, &value);
    dump += "\"" + name + "\" " + std::to_string(value.type) + " ";
    for (unsigned char c : value.data) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02x", c);
      dump += hex;
    }
    dump += "\n";
  }
  std::string sub;
  for (uint32_t i = 0; key->EnumSubkey(i, &sub) == err::kSuccess; ++i)
    dump += DumpRegistry(registry, root, path + "\\" + sub);
  return dump;
}

struct LoggedMachine {
  static constexpr const char* kLogPath = "C:\\Users\\jo\\AppData\\Postwright.log";

  LoggedMachine() {
    machine.files.PutFolder("C:\\Users\\jo\\AppData");
    EXPECT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, kLogPath));
  }
  // What the log file holds so far (a line not yet ended is not in it).
  std::string LogText() { return machine.files.FileBytes(kLogPath); }

  MemoryPlatform machine;
  RunLog log;
};

}  // namespace pw
