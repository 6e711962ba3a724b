// What may become an e-mail address in a client's store. The address names
// registry keys and stands in settings files, so a character that separates
// keys, paths or lines there must never reach it.
#pragma once

#include <optional>
#include <string>

#include "app/ProviderSettings.h"

namespace pw {

// Why a typed user name cannot make an address with the provider's domain
// ("is empty", "holds a backslash", ...); none when it can. Refused: nothing
// at all, "@" (the domain brings its own), a backslash or a slash (key and
// path separators), a double quote, a blank and any control character.
std::optional<std::string> UserNameFault(const std::string& user_name);

// Why an address read from a client's store cannot be rewritten ("is empty",
// "holds a backslash", "holds a control character"); none when it can.
std::optional<std::string> StoredAddressFault(const std::string& address);

// Why an automatic-mode prefix cannot go in front of an address in an account
// name or key name ("holds a backslash", "holds a control character"); none
// when it can. An empty prefix can.
std::optional<std::string> PrefixFault(const std::string& prefix);

// Whether an account is the provider's own: its address is at the provider's
// mail domain, or the host of its incoming server is in the provider's domain
// (the POP3 host without its first label, or a host below that). Letter case
// does not count in host and domain names.
bool IsProvidersAccount(const std::string& address, const std::optional<std::string>& incoming_host,
                        const ProviderSettings& provider);

}  // namespace pw
