// Outlook 2000 in Corporate/Workgroup mode sends and receives through the
// services of its MAPI profile, so an account in its registry keys is not
// enough: the profile needs an Internet E-Mail service, named after the
// account so that Outlook shows it as the account. Without that service the
// client cannot use the account, so a failed step fails the run.
#pragma once

#include <string>

#include "app/RunLog.h"
#include "platform/Mapi.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

// Adds the service to `profile` with the address as its display name, then
// names the service entry it made (and no other) "Internet E-Mail - " +
// `account_name` and `account_name`. A MAPI step that fails, or names that
// cannot be written (the service is then taken back through MAPI), is
// reported with its result code on standard output and in the run log. True
// when the service was created and the entry it made, if any, named.
bool AddMapiMailService(Registry& registry, Mapi& mapi, StdOut& out, RunLog& log, const std::string& profile,
                        const std::string& address, const std::string& account_name);

}  // namespace pw
