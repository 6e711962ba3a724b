// Makes a registry writer's changes all or nothing.
#pragma once

#include <functional>

#include "clients/ConfigureResult.h"
#include "clients/registry/RegistryUndo.h"

namespace pw {

// A writer that cannot learn how things stand changes nothing: "Unable to
// read the current settings (error code: N)." and result 7.
Failure UnableToRead(Status status);

// Runs `write` once `undo` knows how everything it changes stood
// (`remembered`, the answer of remembering it, is 0). When `write` fails,
// everything is put back and the failure says so (and whether it could be).
StepResult SaveWithUndo(RegistryUndo& undo, Status remembered, const std::function<Status()>& write);

// Puts back what `undo` remembers after a later step failed: the line that
// says whether it could be.
std::string UndoLine(RegistryUndo& undo);

}  // namespace pw
