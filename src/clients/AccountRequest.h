// What a run asks a writer for.
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

}  // namespace pw
