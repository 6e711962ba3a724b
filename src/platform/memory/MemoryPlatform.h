// One complete in-memory machine: what the native tests run the program on.
#pragma once

#include "platform/Platform.h"
#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryMapi.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystem.h"

namespace pw {

struct MemoryPlatform {
  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryProcesses processes;
  MemoryEnvironment environment;
  MemoryClock clock;
  MemoryUuidSource uuids;
  MemoryStdOut std_out;
  MemoryMapi mapi{registry};

  MemoryPlatform() { processes.UseFiles(&files); }
  MemoryPlatform(const MemoryPlatform&) = delete;
  MemoryPlatform& operator=(const MemoryPlatform&) = delete;

  Platform View() { return Platform{registry, files, processes, environment, clock, uuids, std_out, mapi}; }
};

}  // namespace pw
