#include "detect/InstalledClients.h"

#include <string>

#include "platform/Text.h"

namespace pw {
namespace {

constexpr char kOutlookKey[] = "SOFTWARE\\Clients\\Mail\\Microsoft Outlook";
constexpr char kOfficeMarker[] = "Office\\";

bool RegistrationOpens(Registry& registry, const std::string& path) {
  RegKeyPtr key;
  return registry.OpenKey(RegRoot::kLocalMachine, path, RegAccess::kRead, &key) == err::kSuccess;
}

// "...\Office\11.0\Outlook" gives 11; a text that ends in "Office\12" gives 12.
int VersionFromLcidText(const std::string& text) {
  const size_t office = text.find(kOfficeMarker);
  if (office == std::string::npos) return kOutlookVersionUnknown;
  const size_t start = office + sizeof kOfficeMarker - 1;
  const size_t end = text.find(".0\\", start);
  return AtoiLike(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
}

}  // namespace

bool IsWindowsMailInstalled(Registry& registry) {
  return RegistrationOpens(registry, "SOFTWARE\\Clients\\Mail\\Windows Mail");
}

bool IsThunderbirdInstalled(Registry& registry) {
  return RegistrationOpens(registry, "SOFTWARE\\Clients\\Mail\\Mozilla Thunderbird");
}

bool IsOutlookExpressInstalled(Registry& registry) {
  return RegistrationOpens(registry, "SOFTWARE\\Clients\\Mail\\Outlook Express");
}

bool IsEudoraInstalled(Registry& registry) { return RegistrationOpens(registry, "SOFTWARE\\Clients\\Mail\\Eudora"); }

bool IsOutlookInstalled(Registry& registry) { return RegistrationOpens(registry, kOutlookKey); }

int GetOutlookVersion(Registry& registry) {
  RegKeyPtr key;
  if (registry.OpenKey(RegRoot::kLocalMachine, kOutlookKey, RegAccess::kRead, &key) != err::kSuccess)
    return kOutlookVersionUnknown;
  std::string text;
  if (!ReadRegTextInBuffer(*key, "MSIApplicationLCID", kRegTextBufferBytes, &text)) return kOutlookVersionUnknown;
  return VersionFromLcidText(text);
}

}  // namespace pw
