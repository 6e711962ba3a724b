// Makes a registry writer's changes all or nothing.
#pragma once

#include <functional>

#include "app/RunLog.h"
#include "clients/AccountWriter.h"
#include "clients/registry/RegistryUndo.h"

namespace pw {

// Runs `write` once `undo` knows how everything it changes stood
// (`remembered`, the answer of remembering it, is 0). When `write` fails,
// everything is put back. The run log says what went wrong. 0 written; 7 not,
// and the registry is as it was (the log says when it could not be put back).
// For a writer that cannot learn how things stand: logs why and returns 7.
ConfigureResult UnableToRead(Status status, RunLog& log);

ConfigureResult SaveWithUndo(RegistryUndo& undo, Status remembered, const std::function<Status()>& write,
                             RunLog& log);

}  // namespace pw
