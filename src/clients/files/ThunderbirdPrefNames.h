// The names and lists of Thunderbird's account preferences: the key of an
// account, identity, server or SMTP server, and the comma-separated lists
// ("account1,account3") that name them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pw {

// The numbers of an account as the preference names write them: "account"
// {account}, "id"{identity}, "server"{server} and the SMTP server "smtp"{smtp}.
struct PrefNumbers {
  std::string account;
  std::string identity;
  std::string server;
  std::string smtp;
};

// "mail.account.account" + number, and so on.
std::string AccountName(const std::string& account);
std::string IdentityName(const std::string& identity);
std::string ServerName(const std::string& server);
std::string SmtpName(const std::string& smtp);

// The text between `prefix` and `suffix` when `text` is made of the three
// and that text is not empty.
bool Middle(std::string_view text, std::string_view prefix, std::string_view suffix, std::string* middle);

// Calls `item` with every item of a comma-separated list, without the blanks
// around it; empty items are left out.
template <typename Item>
void ForEachItem(std::string_view list, Item item) {
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t end = list.find(',', begin);
    if (end == std::string_view::npos) end = list.size();
    const std::string_view part = list.substr(begin, end - begin);
    const size_t first = part.find_first_not_of(" \t");
    if (first != std::string_view::npos) item(part.substr(first, part.find_last_not_of(" \t") - first + 1));
    begin = end + 1;
  }
}

// The items of a comma-separated list, without the blanks around them.
std::vector<std::string> ListItems(std::string_view list);
bool ListHas(std::string_view list, std::string_view wanted);
// The list with `item` at its end, unless it holds it already.
std::string Extended(std::string_view list, const std::string& item);

}  // namespace pw
