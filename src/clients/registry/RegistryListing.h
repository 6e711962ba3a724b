// The listing of registry keys that a failure report gives a support person:
// key names only, depth first, indented three blanks per level.
#pragma once

#include <string>

#include "app/RunLog.h"
#include "platform/Registry.h"

namespace pw {

// Lists the keys below HKEY_CURRENT_USER `key_path`, each followed directly
// by its own subtree. A key that cannot be opened for writing gives one
// unindented "error: " line with the code in place of its subtree.
void DumpRegistryTree(Registry& registry, const std::string& key_path, int depth, RunLog& log);

// What a failure of Outlook that points at its profiles (2: they cannot be
// opened; 3: Outlook has never been started) lists: the profiles of the
// Outlook version detected. Outlook 2013 and later keep their profiles below
// their own Office key, among many keys of no interest to whoever reads the
// log: the listing starts at the profiles key, which it names as the older
// listing names it.
void ListOutlookProfiles(Registry& registry, int outlook_version, RunLog& log);

}  // namespace pw
