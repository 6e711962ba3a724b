#include "clients/registry/SaveWithUndo.h"

#include <string>

namespace pw {

namespace {

std::string Decimal(Status status) { return std::to_string(status); }

}  // namespace

ConfigureResult UnableToRead(Status status, RunLog& log) {
  log.Line("Unable to read the current settings (error code: " + Decimal(status) + ").");
  return result::kSaveFailed;
}

ConfigureResult SaveWithUndo(RegistryUndo& undo, Status remembered, const std::function<Status()>& write,
                             RunLog& log) {
  if (remembered) return UnableToRead(remembered, log);
  const Status status = write();
  if (!status) return result::kConfigured;

  log.Line("Unable to write the settings (error code: " + Decimal(status) + ").");
  const Status undone = undo.Undo();
  log.Line(undone ? "Unable to restore the previous settings (error code: " + Decimal(undone) + ")."
                  : std::string("The previous settings were restored."));
  return result::kSaveFailed;
}

}  // namespace pw
