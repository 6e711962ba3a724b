// The registry as the program sees it: keys below three predefined roots,
// opened or created with read or all-access rights, values read whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Errors.h"

namespace pw {

enum class RegRoot { kCurrentUser, kLocalMachine, kClassesRoot };
enum class RegAccess { kRead, kAllAccess };

// Registry value types, numbered as Windows numbers them.
namespace regtype {
constexpr uint32_t kNone = 0;
constexpr uint32_t kSz = 1;
constexpr uint32_t kExpandSz = 2;
constexpr uint32_t kBinary = 3;
constexpr uint32_t kDword = 4;
constexpr uint32_t kMultiSz = 7;
constexpr uint32_t kQword = 11;
}  // namespace regtype

struct RegValue {
  uint32_t type = regtype::kNone;
  std::string data;  // the bytes exactly as stored, however long
};

// An open key. Destroying it closes it.
class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  virtual ~RegKey() = default;

  virtual Status QueryValue(const std::string& name, RegValue* out) = 0;
  virtual Status SetValue(const std::string& name, uint32_t type, const std::string& data) = 0;
  virtual Status DeleteValue(const std::string& name) = 0;
  // Subkeys come in the registry's order: names compared lower-cased, a name
  // before the longer ones it begins. 259 (no more items) past the last one.
  virtual Status EnumSubkey(uint32_t index, std::string* name) = 0;
  virtual Status CountSubkeys(uint32_t* count) = 0;
  virtual Status CountValues(uint32_t* count) = 0;
};

using RegKeyPtr = std::unique_ptr<RegKey>;

class Registry {
 public:
  virtual ~Registry() = default;
  // The path is relative to the root; "" opens the root itself and a trailing
  // backslash is accepted. Missing key: 2. Missing rights: 5. A path longer
  // than 260 characters: 234.
  virtual Status OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) = 0;
  // Opens the key, creating it and any missing parents first.
  virtual Status CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) = 0;
  // Removes a key and its values; the key must have no subkeys. Missing key: 2.
  // A key with subkeys, or one the caller may not remove: 5.
  virtual Status DeleteKey(RegRoot root, const std::string& path) = 0;
};

// "HKCU", "HKLM" or "HKCR".
const char* RootName(RegRoot root);
// The key's path with doubled and trailing backslashes dropped, and what tells
// the key from every other: that path after its root, without letter case.
std::string RegKeyPath(const std::string& path);
std::string RegKeyIdentity(RegRoot root, const std::string& path);

// The names of the key's subkeys, in the registry's order: every name that
// could be read. The answer is the first failure (of the count, which lists
// none, or of a name); 0 when every name was read.
Status ListSubkeys(RegKey& key, std::vector<std::string>* names);

// The text of a string value: its bytes up to the first NUL, whatever the
// stored type (a multi-string gives its first string).
std::string RegText(const RegValue& value);
std::string RegDwordBytes(uint32_t value);
// Reads a value as text; a value that cannot be read gives the empty text.
std::string ReadRegText(RegKey& key, const std::string& name);
// The same for a value that must be a string (REG_SZ or REG_EXPAND_SZ): a
// number or raw bytes give the empty text too.
std::string ReadRegString(RegKey& key, const std::string& name);
// The program reads some values into fixed 300-byte buffers: a value that does
// not fit cannot be read at all.
constexpr size_t kRegTextBufferBytes = 300;
// A value's text as ReadRegText gives it; false when the value is missing or
// longer than `buffer_bytes`.
bool ReadRegTextInBuffer(RegKey& key, const std::string& name, size_t buffer_bytes, std::string* text);

}  // namespace pw
