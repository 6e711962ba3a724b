// The real machine: what the program runs on under Windows (and Wine).
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Mapi.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32System.h"

namespace pw {

struct Win32Platform {
  Win32Registry registry;
  Win32FileSystem files;
  Win32Processes processes;
  Win32Environment environment;
  Win32Clock clock;
  Win32UuidSource uuids;
  Win32StdOut std_out;
  Win32Mapi mapi;

  Platform View() { return Platform{registry, files, processes, environment, clock, uuids, std_out, mapi}; }
};

}  // namespace pw
