// What every account writer shares: the request it is given, the result it
// returns, and the one operation it offers.
#pragma once

#include <optional>
#include <string>

namespace pw {

struct AccountRequest {
  std::string address;       // user name and the provider's mail-domain suffix
  std::string display_name;
  bool make_default = false;
  bool overwrite = false;
  // Automatic mode: the account the client's lookup found, by its key. A
  // writer that could take another account with the same address for it
  // (Eudora) rewrites this one.
  std::optional<std::string> account_key = std::nullopt;
};

// Automatic mode rewrites the account it found under an account name of its
// own: this prefix followed by the address. No prefix: an ordinary run.
using AutomaticPrefix = std::optional<std::string>;

// What Configure answers. The numbers are the ones the run log shows; what a
// failure means in detail depends on the client (the outcome texts say it).
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

class AccountWriter {
 public:
  virtual ~AccountWriter() = default;
  virtual ConfigureResult Configure() = 0;
};

}  // namespace pw
