// When a client's settings file is to be left as it is: the file writers'
// refusals, each a failure that changes nothing.
#pragma once

#include <string>

#include "clients/ConfigureResult.h"
#include "platform/FileSystem.h"

namespace pw {

// The settings file `path`, read as `bytes`, may be rewritten unless it is
// UTF-16 text (an 8-bit rewrite would mangle it) or read-only (locked on
// purpose; Windows would refuse to replace it anyway). A file whose attributes
// cannot be read is refused too.
StepResult RefuseToRewrite(FileSystem& files, const std::string& path, const std::string& bytes);
// The read-only half of that, for a file whose encoding is checked otherwise.
StepResult RefuseReadOnly(FileSystem& files, const std::string& path);

}  // namespace pw
