// Client registrations are read into fixed 300-byte buffers, as the program
// has always read them: a value that does not fit cannot be read at all.
#pragma once

#include <cstddef>
#include <string>

#include "platform/Registry.h"

namespace pw {

constexpr size_t kRegistrationBufferBytes = 300;

// The value's text (its bytes up to the first NUL, whatever the stored type);
// false when the value is missing or longer than the buffer.
inline bool ReadBufferedText(RegKey& key, const std::string& name, std::string* text) {
  RegValue value;
  if (key.QueryValue(name, &value) != err::kSuccess) return false;
  if (value.data.size() > kRegistrationBufferBytes) return false;
  *text = RegText(value);
  return true;
}

}  // namespace pw
