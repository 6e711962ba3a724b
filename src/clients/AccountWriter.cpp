#include "clients/AccountWriter.h"

namespace pw {

const char kLookupError[] = "*ERROR*";

}  // namespace pw
