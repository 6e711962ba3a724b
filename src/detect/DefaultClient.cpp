#include "detect/DefaultClient.h"

#include <string>

#include "platform/Text.h"

namespace pw {
namespace {

std::string MailLinkCommand(Registry& registry) {
  RegKeyPtr key;
  if (registry.OpenKey(RegRoot::kClassesRoot, "mailto\\shell\\open\\command", RegAccess::kRead, &key) !=
      err::kSuccess)
    return std::string();
  std::string command;
  if (!ReadRegTextInBuffer(*key, "", kRegTextBufferBytes, &command)) return std::string();
  return command;
}

}  // namespace

DefaultClientCode DetectDefaultClient(Registry& registry) {
  // Lowest precedence first: a later hit overwrites an earlier one.
  static const struct {
    const char* text;
    DefaultClientCode code;
  } kPrograms[] = {{"thunde", 5}, {"eudora", 4}, {"winmail", 3}, {"outlook.exe", 2}, {"msimn", 1}};

  const std::string command = AsciiLower(MailLinkCommand(registry));
  DefaultClientCode code = 0;
  for (const auto& program : kPrograms)
    if (command.find(program.text) != std::string::npos) code = program.code;
  return code;
}

}  // namespace pw
