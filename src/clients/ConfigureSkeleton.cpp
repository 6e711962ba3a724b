#include "clients/ConfigureSkeleton.h"

namespace pw {

ConfigureResult ConfigureSkeleton::Configure() {
  const ConfigureResult result = Steps();
  if (result != result::kConfigured) TakeBack();
  return result;
}

ConfigureResult ConfigureSkeleton::Steps() {
  if (const StepResult failed = Open()) return Stop(*failed);

  log_ << wording_.search << request_.address << " account ... ";
  if (wording_.search_ends_line) log_.EndLine();
  bool found = false;
  if (const StepResult failed = Find(&found)) {
    if (!wording_.search_ends_line) log_.EndLine();
    return Stop(*failed);
  }
  if (found && !request_.overwrite) {
    log_.Line(std::string(wording_.found_lead) + (automatic() ? "found. Quitting." : "found. No changes will be made."));
    return automatic() ? result::kIdenticalAutomatic : result::kAlreadyExists;
  }
  log_.Line(found ? std::string(wording_.found_lead) + "found. " + wording_.resetting + " settings to defaults."
                  : std::string(wording_.new_lead) + "not found. Creating new account.");
  if (wording_.blank_after_outcome) log_.BlankLine();

  if (const StepResult failed = found ? Rewrite() : Add()) return Stop(*failed);
  if (wording_.report_before_save) LogReport();
  if (const StepResult failed = Save()) return Stop(*failed);
  if (!wording_.report_before_save) LogReport();
  return result::kConfigured;
}

ConfigureResult ConfigureSkeleton::Stop(const Failure& failure) {
  for (const std::string& line : failure.lines) log_.Line(line);
  return failure.result;
}

void ConfigureSkeleton::LogReport() {
  if (wording_.blank_before_report) log_.BlankLine();
  log_.Line(wording_.heading);
  log_.BlankLine();
  for (const std::string& line : Report()) log_.Line(line);
  if (wording_.blank_after_report) log_.BlankLine();
}

}  // namespace pw
