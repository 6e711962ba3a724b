// What a writer's Configure answers, and why a writer stops: one vocabulary
// from the platform's error codes to the run's result.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Errors.h"

namespace pw {

// The numbers are the ones the run log shows; what a failure means in detail
// depends on the client (the outcome texts say it).
namespace result {
enum ConfigureResult : int {
  kConfigured = 0,
  kUnableToConfigure = 1,     // the client's account store cannot be used
  kProfileUnreadable = 2,     // the mail profile cannot be opened
  kNotRunYet = 3,             // the client has not been set up by its first start
  kNoDefaultProfile = 4,      // the client asks for a profile at every start
  kAlreadyExists = 5,         // the account exists and overwrite is off
  kIdenticalAutomatic = 6,    // automatic mode found its own account and overwrite is off
  kSaveFailed = 7,            // the settings could not be saved; nothing was changed
  kNotInCodePage = 8,         // the store's code page cannot hold a name given; nothing was changed
  kNoWriter = -1,             // the configure command ran no writer
};
}  // namespace result
using ConfigureResult = result::ConfigureResult;

// Why a step of a writer stopped it: the result the run ends with and the
// lines the run log gets for it (an empty line is a blank line). Each step
// answers with one of these or with nothing; the configure skeleton logs the
// lines and returns the result.
struct Failure {
  ConfigureResult result = result::kSaveFailed;
  std::vector<std::string> lines;
};

// A step's answer: nothing when it went well.
using StepResult = std::optional<Failure>;

// A store that could not be read, was refused or could not be saved: its
// line and a blank line. Nothing was changed.
inline Failure FileFailure(const std::string& text) { return Failure{result::kSaveFailed, {text, ""}}; }

}  // namespace pw
