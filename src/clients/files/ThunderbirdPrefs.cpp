#include "clients/files/ThunderbirdPrefs.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "clients/files/PrefLine.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kAccounts[] = "mail.accountmanager.accounts";
const char kDefaultAccount[] = "mail.accountmanager.defaultaccount";
const char kSmtpServers[] = "mail.smtpservers";
const char kDefaultSmtpServer[] = "mail.smtp.defaultserver";
const char kLocalFolders[] = "mailbox://nobody@Local%20Folders";
const char* const kSmtpSuffixes[] = {".auth_method", ".port", ".try_ssl", ".hostname", ".username"};

std::string AccountName(const std::string& account) { return "mail.account.account" + account; }
std::string IdentityName(const std::string& identity) { return "mail.identity.id" + identity; }
std::string ServerName(const std::string& server) { return "mail.server.server" + server; }
std::string SmtpName(const std::string& smtp) { return "mail.smtpserver.smtp" + smtp; }

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The text between `prefix` and `suffix` when `text` is made of the three
// and that text is not empty.
bool Middle(const std::string& text, const std::string& prefix, const std::string& suffix, std::string* middle) {
  if (text.size() <= prefix.size() + suffix.size() || !StartsWith(text, prefix) ||
      text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  *middle = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
  return true;
}

// The preferences that the lines set, in their order.
std::vector<Pref> ReadPrefs(const PrefLines& lines) {
  std::vector<Pref> prefs;
  prefs.reserve(lines.size());
  Pref pref;
  for (const std::string& line : lines)
    if (ReadPrefLine(line, &pref)) prefs.push_back(std::move(pref));
  return prefs;
}

// The last text value of the preference `name`: the one Thunderbird keeps.
bool LastText(const std::vector<Pref>& prefs, const std::string& name, std::string* value) {
  for (auto it = prefs.rbegin(); it != prefs.rend(); ++it) {
    if (it->name != name) continue;
    if (!it->is_text) return false;
    *value = it->value;
    return true;
  }
  return false;
}

// The items of a comma-separated list, without the blanks around them.
std::vector<std::string> ListItems(const std::string& list) {
  std::vector<std::string> items;
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t end = list.find(',', begin);
    if (end == std::string::npos) end = list.size();
    const std::string item = list.substr(begin, end - begin);
    const size_t first = item.find_first_not_of(" \t");
    if (first != std::string::npos) items.push_back(item.substr(first, item.find_last_not_of(" \t") - first + 1));
    begin = end + 1;
  }
  return items;
}

bool ListHas(const std::string& list, const std::string& item) {
  const std::vector<std::string> items = ListItems(list);
  return std::find(items.begin(), items.end(), item) != items.end();
}

// The list with `item` at its end, unless it holds it already.
std::string Extended(const std::string& list, const std::string& item) {
  if (ListHas(list, item)) return list;
  return ListItems(list).empty() ? item : list + "," + item;
}

// The number after `stem` in `key`, when the rest of the key is decimal
// digits that fit 64 bits.
bool KeyNumber(const std::string& key, const std::string& stem, long long* number) {
  if (key.size() <= stem.size() || !StartsWith(key, stem)) return false;
  long long value = 0;
  for (size_t i = stem.size(); i < key.size(); ++i) {
    if (key[i] < '0' || key[i] > '9') return false;
    const int digit = key[i] - '0';
    if (value > (LLONG_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  *number = value;
  return true;
}

// 1 + the largest used number; past the largest 64-bit number, the smallest free one.
long long NextFree(std::vector<long long> used) {
  const long long largest = used.empty() ? 0 : *std::max_element(used.begin(), used.end());
  if (largest < LLONG_MAX) return largest + 1;
  std::sort(used.begin(), used.end());
  long long free = 1;
  for (long long n : used)
    if (n == free) ++free;
  return free;
}

}  // namespace

std::vector<std::string> PrefListItems(const std::string& list) { return ListItems(list); }

ThunderbirdPrefs::ThunderbirdPrefs(const AccountRequest& request, const ProviderSettings& provider)
    : request_(request), provider_(provider) {}

long long ThunderbirdPrefs::NextNumber(const PrefLines& prefs, const std::string& branch, const std::string& stem) {
  std::vector<long long> used;
  long long number = 0;
  for (const Pref& pref : ReadPrefs(prefs)) {
    if (StartsWith(pref.name, branch)) {
      const size_t end = pref.name.find('.', branch.size());
      if (end != std::string::npos && KeyNumber(pref.name.substr(branch.size(), end - branch.size()), stem, &number))
        used.push_back(number);
    }
    if (!pref.is_text || !StartsWith(pref.name, "mail.")) continue;
    for (const std::string& item : ListItems(pref.value))
      if (KeyNumber(item, stem, &number)) used.push_back(number);
  }
  return NextFree(used);
}

long long ThunderbirdPrefs::NextAccountNumber(const PrefLines& prefs) {
  return NextNumber(prefs, "mail.account.", "account");
}

long long ThunderbirdPrefs::NextIdentityNumber(const PrefLines& prefs) {
  return NextNumber(prefs, "mail.identity.", "id");
}

long long ThunderbirdPrefs::NextServerNumber(const PrefLines& prefs) {
  return NextNumber(prefs, "mail.server.", "server");
}

long long ThunderbirdPrefs::NextSmtpNumber(const PrefLines& prefs) {
  return NextNumber(prefs, "mail.smtpserver.", "smtp");
}

bool ThunderbirdPrefs::UsesLocalFolders(const PrefLines& prefs, long long identity) {
  if (identity == 1) return true;
  std::string id;
  for (const Pref& pref : ReadPrefs(prefs)) {
    const bool folder = Middle(pref.name, "mail.identity.", ".fcc_folder", &id) ||
                        Middle(pref.name, "mail.identity.", ".draft_folder", &id);
    if (folder && pref.is_text && StartsWith(pref.value, kLocalFolders)) return true;
  }
  return false;
}

bool ThunderbirdPrefs::FindAccount(const PrefLines& lines, PrefNumbers* found) const {
  const std::vector<Pref> prefs = ReadPrefs(lines);
  PrefNumbers n;
  for (const Pref& email : prefs) {
    if (!Middle(email.name, "mail.identity.id", ".useremail", &n.identity) || !email.is_text ||
        !EqualsNoCase(email.value, request_.address))
      continue;
    // An identity that no account uses (left by a removed account) is not the account.
    for (const Pref& list : prefs) {
      std::string server;
      if (Middle(list.name, "mail.account.account", ".identities", &n.account) && list.is_text &&
          ListHas(list.value, "id" + n.identity) && LastText(prefs, AccountName(n.account) + ".server", &server) &&
          Middle(server, "server", "", &n.server)) {
        *found = n;
        return true;
      }
    }
  }
  return false;
}

bool ThunderbirdPrefs::FindNamedAccount(const PrefLines& lines, const std::string& account,
                                        PrefNumbers* found) const {
  const std::vector<Pref> prefs = ReadPrefs(lines);
  PrefNumbers n;
  std::string identities, server, email;
  if (!Middle(account, "account", "", &n.account) ||
      !LastText(prefs, AccountName(n.account) + ".identities", &identities) ||
      ListItems(identities).empty() || !Middle(ListItems(identities).front(), "id", "", &n.identity) ||
      !LastText(prefs, AccountName(n.account) + ".server", &server) || !Middle(server, "server", "", &n.server) ||
      !LastText(prefs, IdentityName(n.identity) + ".useremail", &email) || !EqualsNoCase(email, request_.address))
    return false;
  *found = n;
  return true;
}

bool ThunderbirdPrefs::FindSmtpServer(const PrefLines& lines, std::string* smtp, const std::string& except) const {
  const std::vector<Pref> prefs = ReadPrefs(lines);
  std::string username;
  for (const Pref& host : prefs) {
    if (Middle(host.name, "mail.smtpserver.smtp", ".hostname", smtp) && host.is_text && "smtp" + *smtp != except &&
        EqualsNoCase(host.value, provider_.smtp_host) && LastText(prefs, SmtpName(*smtp) + ".username", &username) &&
        EqualsNoCase(username, request_.address))
      return true;
  }
  return false;
}

namespace {

// New lines by preference name; each records whether it took an old line's place.
class Replacements {
 public:
  void Set(const std::string& line) {
    Pref pref;
    if (ReadPrefLine(line, &pref)) lines_[pref.name] = line;
  }
  // The new line for this line's preference, or the line itself.
  std::string For(const std::string& line) {
    Pref pref;
    if (!ReadPrefLine(line, &pref)) return line;
    const auto it = lines_.find(pref.name);
    if (it == lines_.end()) return line;
    replaced_.insert(pref.name);
    return it->second;
  }
  bool Replaced(const std::string& name) const { return replaced_.count(name) > 0; }

 private:
  std::map<std::string, std::string> lines_;
  std::set<std::string> replaced_;
};

}  // namespace

namespace {

// The lines of a rewrite: a new line takes the place of every line that sets
// its preference; one that no line sets goes after the last line of its
// group ("mail.server.server3."), or at the end when the group has none.
// Records every line it puts into the file, in the file's order.
class PrefEdit {
 public:
  explicit PrefEdit(const PrefLines& lines) : lines_(lines) {
    Pref pref;
    for (const std::string& line : lines) names_.push_back(ReadPrefLine(line, &pref) ? pref.name : std::string());
  }

  void Put(const std::string& line, const std::string& group) {
    const std::string name = NameOf(line);
    if (std::find(names_.begin(), names_.end(), name) != names_.end()) {
      replacements_[name] = line;
      return;
    }
    for (size_t i = names_.size(); !group.empty() && i-- > 0;) {
      if (StartsWith(names_[i], group)) {
        after_[i].push_back(line);
        return;
      }
    }
    tail_.push_back(line);
  }

  // Only in place of the lines that set it; a file without one stays without.
  void Replace(const std::string& line) {
    const std::string name = NameOf(line);
    if (std::find(names_.begin(), names_.end(), name) != names_.end()) replacements_[name] = line;
  }

  PrefLines Result(PrefLines* written) const {
    PrefLines out;
    const auto put = [&](const std::string& line) {
      out.push_back(line);
      written->push_back(line);
    };
    for (size_t i = 0; i < lines_.size(); ++i) {
      const auto replaced = replacements_.find(names_[i]);
      if (replaced == replacements_.end() || names_[i].empty())
        out.push_back(lines_[i]);
      else
        put(replaced->second);
      const auto inserted = after_.find(i);
      if (inserted != after_.end())
        for (const std::string& line : inserted->second) put(line);
    }
    for (const std::string& line : tail_) put(line);
    return out;
  }

 private:
  static std::string NameOf(const std::string& line) {
    Pref pref;
    ReadPrefLine(line, &pref);
    return pref.name;
  }

  const PrefLines& lines_;
  std::vector<std::string> names_;  // per line, the preference it sets ("" for none)
  std::map<std::string, std::string> replacements_;
  std::map<size_t, PrefLines> after_;
  PrefLines tail_;
};

// The SMTP server key an identity names ("smtp2"), or "" when it names none
// and so sends through the default server.
std::string SmtpKeyOf(const std::vector<Pref>& prefs, const std::string& identity) {
  std::string key;
  return LastText(prefs, IdentityName(identity) + ".smtpServer", &key) ? key : std::string();
}

// The server Thunderbird sends through for an identity that names none: the
// default server, else the first of the list.
std::string DefaultSmtpKey(const std::vector<Pref>& prefs) {
  std::string key;
  if (LastText(prefs, kDefaultSmtpServer, &key) && !key.empty()) return key;
  if (!LastText(prefs, kSmtpServers, &key)) return "";
  const std::vector<std::string> items = ListItems(key);
  return items.empty() ? "" : items.front();
}

// Whether an identity of some account, other than `identity`, sends through
// the SMTP server `key`: by naming it, or by naming none while it is the
// default.
bool SmtpUsedByOthers(const std::vector<Pref>& prefs, const std::string& identity, const std::string& key) {
  const std::string default_key = DefaultSmtpKey(prefs);
  std::string account, other;
  for (const Pref& list : prefs) {
    if (!Middle(list.name, "mail.account.account", ".identities", &account) || !list.is_text) continue;
    for (const std::string& item : ListItems(list.value)) {
      if (!Middle(item, "id", "", &other) || other == identity) continue;
      const std::string named = SmtpKeyOf(prefs, other);
      if ((named.empty() ? default_key : named) == key) return true;
    }
  }
  return false;
}

}  // namespace

PrefLines ThunderbirdPrefs::Rewrite(const PrefLines& lines, PrefNumbers* n, PrefLines* written) const {
  const std::vector<Pref> prefs = ReadPrefs(lines);
  const std::string id = IdentityName(n->identity) + ".", srv = ServerName(n->server) + ".";
  PrefEdit edit(lines);
  if (request_.make_default) edit.Put(DefaultAccountLine(n->account), "mail.accountmanager.");
  edit.Put(PrefLine(id + "fullName", PrefText(request_.display_name)), id);

  // A server that another identity also sends through stays theirs, as it is;
  // an identity that names none sends through the default server, which is
  // nobody's to change. Either way the identity gets a server of its own.
  const std::string own_key = SmtpKeyOf(prefs, n->identity);
  n->smtp.clear();
  const bool own_server = !own_key.empty() && Middle(own_key, "smtp", "", &n->smtp) &&
                          !SmtpUsedByOthers(prefs, n->identity, own_key);
  if (!own_server) {
    if (!FindSmtpServer(lines, &n->smtp, own_key)) n->smtp = std::to_string(NextSmtpNumber(lines));
    edit.Put(PrefLine(id + "smtpServer", PrefText("smtp" + n->smtp)), id);
  }

  // Thunderbird leaves default values out: a plain POP3 account on port 110
  // has no port and no security line, so every line is put, not only replaced.
  edit.Put(PrefLine(srv + "hostname", PrefText(provider_.pop3_host)), srv);
  edit.Put(PrefLine(srv + "login_at_startup", kPrefTrue), srv);
  edit.Put(PrefLine(srv + "type", PrefText("pop3")), srv);
  edit.Put(PrefLine(srv + "userName", PrefText(request_.address)), srv);
  edit.Put(PrefLine(srv + "name", PrefText(request_.address)), srv);
  edit.Put(PrefLine(srv + "isSecure", kPrefTrue), srv);
  edit.Put(PrefLine(srv + "port", PrefNumber(provider_.pop3_port)), srv);
  // Thunderbird prefers a socket type over isSecure (STARTTLS is 2).
  edit.Replace(PrefLine(srv + "socketType", PrefNumber(3)));

  const std::string key = "smtp" + n->smtp;
  for (const char* suffix : kSmtpSuffixes) edit.Put(SmtpLine(n->smtp, suffix), SmtpName(n->smtp) + ".");
  // A server missing from the list is one Thunderbird does not know.
  std::string list;
  const bool listed = LastText(prefs, kSmtpServers, &list);
  if (!listed || !ListHas(list, key)) edit.Put(PrefLine(kSmtpServers, PrefText(Extended(list, key))), "");
  // As for a new account: without a default server Thunderbird uses the first of the list.
  std::string default_key;
  if (!own_server && !LastText(prefs, kDefaultSmtpServer, &default_key))
    edit.Put(PrefLine(kDefaultSmtpServer, PrefText(ListItems(Extended(list, key)).front())), "");

  PrefLines ignored;
  return edit.Result(written ? written : &ignored);
}

PrefLines ThunderbirdPrefs::Add(const PrefLines& prefs, PrefNumbers* numbers) const {
  const long long identity = NextIdentityNumber(prefs);
  PrefNumbers n{std::to_string(NextAccountNumber(prefs)), std::to_string(identity),
                std::to_string(NextServerNumber(prefs)), ""};
  const bool reused = FindSmtpServer(prefs, &n.smtp);
  if (!reused) n.smtp = std::to_string(NextSmtpNumber(prefs));
  const std::string smtp_key = "smtp" + n.smtp;

  Replacements replacements;
  if (request_.make_default) replacements.Set(DefaultAccountLine(n.account));
  // A server that already sends as the address is ours to rewrite; no other is.
  if (reused)
    for (const char* suffix : kSmtpSuffixes) replacements.Set(SmtpLine(n.smtp, suffix));

  const PrefLines account_lines = AccountLines(n);
  const PrefLines identity_lines = NewIdentityAndServerLines(n, UsesLocalFolders(prefs, identity), true);
  PrefLines out;
  bool accounts_found = false, smtp_listed = false, default_smtp_found = false;
  bool account_written = false, identity_written = false;  // the latter follow the default-account line
  std::string first_smtp = smtp_key;
  for (const std::string& line : prefs) {
    Pref pref;
    const bool is_pref = ReadPrefLine(line, &pref);
    // Before the first preference stands the comment header.
    if (is_pref && !account_written) {
      out.insert(out.end(), account_lines.begin(), account_lines.end());
      account_written = true;
    }
    if (is_pref && pref.name == kAccounts && pref.is_text) {
      out.push_back(AccountsLine(Extended(pref.value, "account" + n.account)));
      accounts_found = true;
    } else if (is_pref && pref.name == kSmtpServers && pref.is_text) {
      const std::string list = Extended(pref.value, smtp_key);
      out.push_back(PrefLine(kSmtpServers, PrefText(list)));
      first_smtp = ListItems(list).front();
      smtp_listed = true;
    } else {
      out.push_back(replacements.For(line));
    }
    default_smtp_found = default_smtp_found || (is_pref && pref.name == kDefaultSmtpServer);
    if (is_pref && pref.name == kDefaultAccount && !identity_written) {
      out.insert(out.end(), identity_lines.begin(), identity_lines.end());
      identity_written = true;
    }
  }
  if (!account_written) out.insert(out.end(), account_lines.begin(), account_lines.end());
  // A profile without an account list has no account yet: the new one is its first.
  if (!accounts_found) out.push_back(AccountsLine("account" + n.account));
  if (!identity_written && (request_.make_default || !accounts_found)) out.push_back(DefaultAccountLine(n.account));
  if (!identity_written) out.insert(out.end(), identity_lines.begin(), identity_lines.end());

  for (const char* suffix : kSmtpSuffixes)
    if (!replacements.Replaced(SmtpName(n.smtp) + suffix)) out.push_back(SmtpLine(n.smtp, suffix));
  if (!smtp_listed) out.push_back(PrefLine(kSmtpServers, PrefText(smtp_key)));
  // Without a default server Thunderbird uses the first of the list.
  if (!default_smtp_found) out.push_back(PrefLine(kDefaultSmtpServer, PrefText(first_smtp)));

  *numbers = n;
  return out;
}

PrefLines ThunderbirdPrefs::NewProfile(PrefNumbers* numbers) const {
  *numbers = {"2", "1", "2", "1"};
  return CompleteSet(*numbers);
}

PrefLines ThunderbirdPrefs::CompleteSet(const PrefNumbers& n) const {
  PrefLines out = AccountLines(n);
  out.push_back(AccountsLine("account" + n.account));
  out.push_back(DefaultAccountLine(n.account));
  for (const std::string& line : NewIdentityAndServerLines(n, true, false)) out.push_back(line);
  for (const char* suffix : kSmtpSuffixes) out.push_back(SmtpLine(n.smtp, suffix));
  out.push_back(PrefLine(kSmtpServers, PrefText("smtp" + n.smtp)));
  out.push_back(PrefLine(kDefaultSmtpServer, PrefText("smtp" + n.smtp)));
  return out;
}

std::string ThunderbirdPrefs::AccountsLine(const std::string& list) const {
  return PrefLine(kAccounts, PrefText(list));
}

std::string ThunderbirdPrefs::DefaultAccountLine(const std::string& account) const {
  return PrefLine(kDefaultAccount, PrefText("account" + account));
}

PrefLines ThunderbirdPrefs::AccountLines(const PrefNumbers& n) const {
  return {PrefLine(AccountName(n.account) + ".identities", PrefText("id" + n.identity)),
          PrefLine(AccountName(n.account) + ".server", PrefText("server" + n.server))};
}

PrefLines ThunderbirdPrefs::NewIdentityAndServerLines(const PrefNumbers& n, bool local_folders,
                                                      bool socket_type) const {
  const std::string id = IdentityName(n.identity), srv = ServerName(n.server);
  PrefLines lines{
      PrefLine(id + ".fullName", PrefText(request_.display_name)),
      PrefLine(id + ".smtpServer", PrefText("smtp" + n.smtp)),
      PrefLine(srv + ".hostname", PrefText(provider_.pop3_host)),
      PrefLine(srv + ".login_at_startup", kPrefTrue),
      PrefLine(srv + ".type", PrefText("pop3")),
      PrefLine(srv + ".userName", PrefText(request_.address)),
      PrefLine(srv + ".name", PrefText(request_.address)),
      PrefLine(srv + ".isSecure", kPrefTrue),
      PrefLine(srv + ".port", PrefNumber(provider_.pop3_port)),
  };
  if (socket_type) lines.push_back(PrefLine(srv + ".socketType", PrefNumber(3)));
  lines.push_back(PrefLine(id + ".useremail", PrefText(request_.address)));
  lines.push_back(PrefLine(id + ".draft_folder", PrefText(FolderUri(local_folders, "Drafts"))));
  lines.push_back(PrefLine(id + ".fcc_folder", PrefText(FolderUri(local_folders, "Sent"))));
  return lines;
}

std::string ThunderbirdPrefs::SmtpLine(const std::string& smtp, const std::string& suffix) const {
  const std::string name = SmtpName(smtp) + suffix;
  if (suffix == ".auth_method") return PrefLine(name, PrefNumber(1));
  if (suffix == ".port") return PrefLine(name, PrefNumber(provider_.smtp_port));
  if (suffix == ".try_ssl") return PrefLine(name, PrefNumber(3));
  if (suffix == ".hostname") return PrefLine(name, PrefText(provider_.smtp_host));
  return PrefLine(name, PrefText(request_.address));  // ".username"
}

std::string ThunderbirdPrefs::FolderUri(bool local_folders, const std::string& folder) const {
  if (local_folders) return std::string(kLocalFolders) + "/" + folder;
  std::string user = request_.address;
  const size_t at = user.find('@');
  if (at != std::string::npos) user.replace(at, 1, "%40");
  return "mailbox://" + user + "@" + provider_.pop3_host + "/" + folder;
}

}  // namespace pw
