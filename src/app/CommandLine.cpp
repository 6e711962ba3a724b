#include "app/CommandLine.h"

#include "app/AddressRules.h"
#include "platform/Text.h"

namespace pw {

const char kUsageLine[] =
    "usage: Postwright [-n \"display name\" -c client -a user [-d] [-u] [-whatif]]"
    " | [-auto -p \"prefix\" [-s \"address\"] [-d] [-u] [-x] [-whatif]] | [-restore [-x] [-whatif]]\n";

std::string TrimTrailingBlanks(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

bool HasFlag(const std::string& command_line, const std::string& option) {
  return (" " + command_line).find(" " + option) != std::string::npos;
}

std::optional<std::string> ExtractValue(const std::string& command_line, const std::string& option, bool quoted) {
  const std::string line = " " + command_line;
  const std::string key = " " + option + " ";
  const size_t at = line.find(key);
  if (at == std::string::npos) return std::nullopt;
  const size_t start = at + key.size();
  if (quoted && start < line.size() && line[start] == '"') {
    const size_t close = line.find('"', start + 1);
    if (close != std::string::npos) return line.substr(start + 1, close - start - 1);
  }
  const size_t end = line.find(" -", at + 1);
  if (end == std::string::npos || end < start) return line.substr(start);
  return line.substr(start, end - start);
}

CommandLineRequest ParseCommandLine(const std::string& raw) {
  CommandLineRequest request;
  const std::string line = TrimTrailingBlanks(raw);
  if (line.empty()) return request;

  RunRequest& run = request.run;
  run.make_default = HasFlag(line, "-d");
  const bool close_running = HasFlag(line, "-x");
  run.overwrite = HasFlag(line, "-u");
  run.what_if = HasFlag(line, "-whatif");

  // A restore takes back the last changing run; it needs nothing else.
  if (HasFlag(line, "-restore")) {
    run.mode = RunMode::kRestore;
    run.close_running = close_running;
    return request;
  }

  if (HasFlag(line, "-auto")) {
    run.mode = RunMode::kAutomatic;
    run.close_running = close_running;
    const std::optional<std::string> prefix = ExtractValue(line, "-p", true);
    if (!prefix) {
      request.missing_option = "-p";
      return request;
    }
    run.prefix = *prefix;
    if (const std::optional<std::string> fault = PrefixFault(*prefix))
      request.refusal = "the prefix given with -p " + *fault + ".";
    run.search_address = ExtractValue(line, "-s", true);
    return request;
  }

  run.mode = RunMode::kExplicit;
  const std::optional<std::string> name = ExtractValue(line, "-n", true);
  if (!name) {
    request.missing_option = "-n";
    return request;
  }
  const std::optional<std::string> client = ExtractValue(line, "-c", false);
  if (!client) {
    request.missing_option = "-c";
    return request;
  }
  const std::optional<std::string> user = ExtractValue(line, "-a", false);
  if (!user) {
    request.missing_option = "-a";
    return request;
  }
  run.display_name = *name;
  run.client = AtoiLike(*client);
  run.user_name = *user;
  if (const std::optional<std::string> fault = UserNameFault(*user))
    request.refusal = "the user name given with -a " + *fault + ".";
  return request;
}

}  // namespace pw
