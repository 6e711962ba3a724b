// Everything the program touches outside itself, handed down by reference.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Mapi.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

struct Platform {
  Registry& registry;
  FileSystem& files;
  Processes& processes;
  Environment& environment;
  Clock& clock;
  UuidSource& uuids;
  StdOut& std_out;
  Mapi& mapi;
};

}  // namespace pw
