// The name a current Thunderbird (68 and later) gives its own installation in
// profiles.ini ([Install<hash>]) and installs.ini ([<hash>]): there it keeps
// the profile that installation opens. A profile list without that section
// makes the client create a new, empty profile on its first start, so a list
// written for a user who has never run it must carry it.
#pragma once

#include <cstdint>
#include <string>

namespace pw {

// CityHash64 of the first generation (1.0). Thunderbird keeps to it; the
// later generation gives other values for the same bytes.
uint64_t CityHash64(const std::string& bytes);

// The installation's hash: CityHash64 of the UTF-16LE form of `folder`, the
// folder of the client's program without a trailing separator, in upper-case
// hex digits without leading zeros, as the client writes it (so one folder in
// sixteen gets fewer than sixteen digits). `folder` is UTF-8, as the program
// keeps text.
std::string ThunderbirdInstallHash(const std::string& folder);

}  // namespace pw
