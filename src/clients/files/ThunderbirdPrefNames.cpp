#include "clients/files/ThunderbirdPrefNames.h"

#include "platform/Text.h"

namespace pw {

std::string AccountName(const std::string& account) { return "mail.account.account" + account; }
std::string IdentityName(const std::string& identity) { return "mail.identity.id" + identity; }
std::string ServerName(const std::string& server) { return "mail.server.server" + server; }
std::string SmtpName(const std::string& smtp) { return "mail.smtpserver.smtp" + smtp; }

bool Middle(std::string_view text, std::string_view prefix, std::string_view suffix, std::string* middle) {
  if (text.size() <= prefix.size() + suffix.size() || !StartsWith(text, prefix) || !EndsWith(text, suffix))
    return false;
  middle->assign(text.substr(prefix.size(), text.size() - prefix.size() - suffix.size()));
  return true;
}

// Calls `item` with every item of a comma-separated list, without the blanks
// around it; empty items are left out.

std::vector<std::string> ListItems(std::string_view list) {
  std::vector<std::string> items;
  ForEachItem(list, [&](std::string_view item) { items.emplace_back(item); });
  return items;
}

bool ListHas(std::string_view list, std::string_view wanted) {
  bool has = false;
  ForEachItem(list, [&](std::string_view item) { has = has || item == wanted; });
  return has;
}

std::string Extended(std::string_view list, const std::string& item) {
  if (ListHas(list, item)) return std::string(list);
  return ListItems(list).empty() ? item : std::string(list) + "," + item;
}

// The number after `stem` in `key`, when the rest of the key is decimal

}  // namespace pw
