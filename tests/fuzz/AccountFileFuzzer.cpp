// A Windows Mail account file as the fuzzer makes it, beside one of ours.
#include "FuzzMachine.h"

namespace {
constexpr char kFolder[] = "C:\\Users\\jo\\AppData\\Local\\Microsoft\\Windows Mail\\Local Folders";

void SeedWindowsMail(pw::MemoryPlatform& machine) {
  machine.registry.PutText(pw::RegRoot::kCurrentUser, "Software\\Microsoft\\Windows Mail", "Store Root",
                           "%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows Mail\\");
  machine.files.PutFolder(kFolder);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string path = std::string(kFolder) + "\\account{fuzz}.oeaccount";
  pw::fuzz::Machine m;
  SeedWindowsMail(m.machine);
  m.machine.files.PutFile(path, input);
  const std::vector<std::string> before = m.machine.files.Tree("C:\\");
  const pw::ConfigureResult result = m.Configure(pw::ClientKind::kWindowsMail, true);
  if (result != pw::result::kConfigured) {
    pw::fuzz::Require(m.machine.files.FileBytes(path) == input, "a failed run leaves the account file");
    pw::fuzz::Require(m.machine.files.Tree("C:\\") == before, "a failed run leaves no file behind");
    return 0;
  }
  // Whatever file holds the account now is found again by a second run.
  pw::fuzz::Machine again;
  SeedWindowsMail(again.machine);
  for (const std::string& file : m.machine.files.Tree(kFolder))
    if (file.back() != '\\') again.machine.files.PutFile(file, m.machine.files.FileBytes(file));
  pw::fuzz::Require(again.Configure(pw::ClientKind::kWindowsMail, false) == pw::result::kAlreadyExists,
                    "the account written is found again");
  return 0;
}
