// Eudora.ini as the fuzzer makes it.
#include "FuzzMachine.h"

#include "app/ProviderSettings.h"
#include "clients/files/EudoraIni.h"
#include "platform/Text.h"

namespace {
constexpr char kIni[] = "C:\\Users\\jo\\AppData\\Roaming\\Qualcomm\\Eudora\\Eudora.ini";

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Whether the entry of `line` is one a personality is made of.
bool PersonalityKey(const std::string& line) {
  const std::string key = pw::AsciiUpper(Trimmed(line.substr(0, line.find('='))));
  for (const pw::EudoraKey& entry : pw::EudoraKeyTable("jdoe@quillset.example", "Jo Doe", pw::kProvider))
    if (key == pw::AsciiUpper(entry.key)) return true;
  return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // The account's own section may be rewritten, and so may the personality
  // entries of [Settings] (the account becomes the dominant personality when
  // that one has no address); everything else survives.
  bool in_account = false, in_settings = false;
  pw::fuzz::CheckSettingsFileWriter(
      pw::ClientKind::kEudora, kIni, input, [&in_account, &in_settings](const std::string& line) {
        const std::string trimmed = Trimmed(line);
        if (!trimmed.empty() && trimmed[0] == '[') {
          const std::string section = pw::AsciiUpper(trimmed);
          in_account = section.find("QUILLSET") != std::string::npos;
          in_settings = section.rfind("[SETTINGS]", 0) == 0;
        }
        return !in_account && !(in_settings && PersonalityKey(line));
      });
  return 0;
}
