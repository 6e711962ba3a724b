// profiles.ini as the fuzzer makes it; the profiles it may name are empty.
#include "FuzzMachine.h"

#include "clients/files/ThunderbirdProfiles.h"
#include "platform/Text.h"

namespace {
constexpr char kProfilesIni[] = "C:\\Users\\jo\\AppData\\Roaming\\Thunderbird\\profiles.ini";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  pw::fuzz::Machine m;
  m.machine.files.PutFile(kProfilesIni, input);
  const pw::ConfigureResult result = m.Configure(pw::ClientKind::kThunderbird, false);
  const std::string output = m.machine.files.FileBytes(kProfilesIni);
  // A list of profiles is read, never rewritten, unless there was none to read.
  if (!input.empty()) pw::fuzz::Require(output == input, "an existing profiles.ini is left as it was");
  if (result == pw::result::kConfigured && input.empty())
    pw::fuzz::Require(!pw::FindDefaultProfilePath(pw::SplitLines(output)).path.empty(),
                      "a written profiles.ini names its profile");
  // Outside the Thunderbird folder only the prefs.js of a profile that
  // profiles.ini names by an absolute path is written.
  for (const std::string& path : m.machine.files.Tree("C:\\")) {
    if (path.back() == '\\' || path.rfind("C:\\Users\\jo\\AppData\\Roaming\\Thunderbird\\", 0) == 0) continue;
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    pw::fuzz::Require(pw::EqualsNoCase(name, "prefs.js"), "outside the Thunderbird folder only a prefs.js is written");
  }
  return 0;
}
