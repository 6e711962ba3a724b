// prefs.js as the fuzzer makes it, in a profile profiles.ini names.
#include "FuzzMachine.h"

namespace {
constexpr char kPrefs[] = "C:\\Users\\jo\\AppData\\Roaming\\Thunderbird\\Profiles\\ab12cd34.default\\prefs.js";

void SeedProfile(pw::MemoryPlatform& machine) {
  machine.files.PutFile("C:\\Users\\jo\\AppData\\Roaming\\Thunderbird\\profiles.ini",
                        "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                        "Path=Profiles/ab12cd34.default\r\nDefault=1\r\n");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // Only mail preferences belong to accounts; comments, other preferences and
  // lines Thunderbird skips stay as they are.
  pw::fuzz::CheckSettingsFileWriter(
      pw::ClientKind::kThunderbird, kPrefs, input,
      [](const std::string& line) { return line.find("\"mail.") == std::string::npos; }, SeedProfile);
  return 0;
}
