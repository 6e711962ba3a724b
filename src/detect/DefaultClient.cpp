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

DefaultClientCode DetectDefaultClient(Registry& registry, const std::vector<ClientMarks>& clients) {
  const std::string command = AsciiLower(MailLinkCommand(registry));
  for (const ClientMarks& client : clients)
    if (command.find(client.mail_link_text) != std::string::npos) return DefaultClientCodeOf(client.kind);
  return kNoDefaultClient;
}

}  // namespace pw
