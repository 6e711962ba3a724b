#include "detect/InstalledClients.h"

#include "platform/Text.h"

namespace pw {
namespace {

constexpr char kOfficeMarker[] = "Office\\";

std::string RegistrationKey(const std::string& registration) { return "SOFTWARE\\Clients\\Mail\\" + registration; }

// "...\Office\11.0\Outlook" gives 11; a text that ends in "Office\12" gives 12.
int VersionFromLcidText(const std::string& text) {
  const size_t office = text.find(kOfficeMarker);
  if (office == std::string::npos) return kOutlookVersionUnknown;
  const size_t start = office + sizeof kOfficeMarker - 1;
  const size_t end = text.find(".0\\", start);
  return AtoiLike(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
}

}  // namespace

bool IsClientInstalled(Registry& registry, const std::string& registration) {
  RegKeyPtr key;
  return registry.OpenKey(RegRoot::kLocalMachine, RegistrationKey(registration), RegAccess::kRead, &key) ==
         err::kSuccess;
}

int GetOutlookVersion(Registry& registry, const std::string& registration) {
  RegKeyPtr key;
  if (registry.OpenKey(RegRoot::kLocalMachine, RegistrationKey(registration), RegAccess::kRead, &key) !=
      err::kSuccess)
    return kOutlookVersionUnknown;
  std::string text;
  if (!ReadRegTextInBuffer(*key, "MSIApplicationLCID", kRegTextBufferBytes, &text)) return kOutlookVersionUnknown;
  return VersionFromLcidText(text);
}

}  // namespace pw
