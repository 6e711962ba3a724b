#include "clients/registry/SaveWithUndo.h"

#include <string>

namespace pw {

namespace {

std::string Decimal(Status status) { return std::to_string(status); }

}  // namespace

Failure UnableToRead(Status status) {
  return Failure{result::kSaveFailed, {"Unable to read the current settings (error code: " + Decimal(status) + ")."}};
}

StepResult SaveWithUndo(RegistryUndo& undo, Status remembered, const std::function<Status()>& write) {
  if (remembered) return UnableToRead(remembered);
  const Status status = write();
  if (!status) return std::nullopt;
  return Failure{result::kSaveFailed,
                 {"Unable to write the settings (error code: " + Decimal(status) + ").", UndoLine(undo)}};
}

std::string UndoLine(RegistryUndo& undo) {
  const Status undone = undo.Undo();
  return undone ? "Unable to restore the previous settings (error code: " + Decimal(undone) + ")."
                : std::string("The previous settings were restored.");
}

}  // namespace pw
