// What a what-if run tells of the changes it would make: one line for each
// key, value, folder, MAPI service and running client, and for each settings
// file its path with each line it would add, replace or remove.
#pragma once

#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/System.h"
#include "platform/changes/StoreChange.h"

namespace pw {

std::vector<std::string> DescribeChanges(const StoreChanges& changes, Environment& environment);

// A value's data as text: "REG_SZ "text"", "REG_DWORD 995", "REG_BINARY 01 00 ...".
std::string DescribeValue(uint32_t type, const std::string& data);

// A settings file's lines as text: UTF-16 (with its mark), UTF-8, or else the
// system's code page.
std::vector<std::string> TextLines(const std::string& bytes, Environment& environment);

}  // namespace pw
