#include "clients/files/ThunderbirdPrefs.h"

#include "clients/files/PrefLine.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kAccounts[] = "mail.accountmanager.accounts";
const char kDefaultAccount[] = "mail.accountmanager.defaultaccount";
// A default-account line up to its account number.
const char kDefaultAccountPrefix[] = "user_pref(\"mail.accountmanager.defaultaccount\", \"account";
const char kLocalFolders[] = "mailbox://nobody@Local%20Folders";
const char* const kSmtpSuffixes[] = {".auth_method", ".port", ".try_ssl", ".hostname", ".username"};
constexpr int kSmtpSuffixCount = 5;
constexpr int kFlaggedSmtpSuffixes = 3;  // auth_method, port and try_ssl

bool Contains(const std::string& line, const std::string& text) { return line.find(text) != std::string::npos; }

bool AnyContains(const PrefLines& prefs, const std::string& text) {
  for (const std::string& line : prefs)
    if (Contains(line, text)) return true;
  return false;
}

// The text after the first `before` up to the next `after`; empty when either is missing.
std::string Between(const std::string& line, const std::string& before, const std::string& after) {
  const size_t start = line.find(before);
  if (start == std::string::npos) return std::string();
  const size_t from = start + before.size();
  const size_t end = line.find(after, from);
  return end == std::string::npos ? std::string() : line.substr(from, end - from);
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Whether an account's ".identities" line names identity `id` in its list.
bool ListsIdentity(const std::string& line, const std::string& id) {
  const std::string marker = ".identities\", \"";
  const size_t start = line.find(marker);
  if (start == std::string::npos) return false;
  const size_t from = start + marker.size();
  const std::string list = line.substr(from, line.find('"', from) - from);
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t end = list.find(',', begin);
    if (end == std::string::npos) end = list.size();
    if (Trim(list.substr(begin, end - begin)) == "id" + id) return true;
    begin = end + 1;
  }
  return false;
}

bool AnyListsIdentity(const PrefLines& prefs, const std::string& id) {
  for (const std::string& line : prefs)
    if (ListsIdentity(line, id)) return true;
  return false;
}

// The account list of an accounts line with one more account.
std::string ExtendedAccountList(const std::string& line, long long account) {
  const size_t start = line.find(kAccounts) + 32;  // past the name and ", "
  std::string list;
  if (start < line.size()) {
    const size_t end = line.find("\")", start);
    list = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
  }
  const std::string added = "account" + std::to_string(account);
  return list.empty() ? added : list + "," + added;
}

// The SMTP-server number of an identity's smtpServer line: its value after "smtp".
std::string SmtpNumberOf(const std::string& line) {
  const size_t from = line.find(".smtpServer") + 19;
  if (line.size() < 3 || from >= line.size() - 3) return std::string();
  return line.substr(from, line.size() - 3 - from);
}

}  // namespace

ThunderbirdPrefs::ThunderbirdPrefs(const AccountRequest& request, const ProviderSettings& provider)
    : request_(request), provider_(provider) {}

long long ThunderbirdPrefs::NextNumber(const PrefLines& prefs, const std::string& marker, size_t position) {
  long long largest = 0;
  for (const std::string& line : prefs) {
    if (!Contains(line, marker) || line.size() <= position) continue;
    const long long number = AtoiLike(line.substr(position));
    if (number > largest) largest = number;
  }
  return largest + 1;
}

long long ThunderbirdPrefs::NextAccountNumber(const PrefLines& prefs) {
  return NextNumber(prefs, "mail.account.account", 31);
}

long long ThunderbirdPrefs::NextIdentityNumber(const PrefLines& prefs) {
  return NextNumber(prefs, "mail.identity.id", 27);
}

long long ThunderbirdPrefs::NextServerNumber(const PrefLines& prefs) {
  return NextNumber(prefs, "mail.server.server", 29);
}

bool ThunderbirdPrefs::UsesLocalFolders(const PrefLines& prefs, long long identity) {
  if (identity == 1) return true;
  return AnyContains(prefs, std::string(".fcc_folder\", \"") + kLocalFolders) ||
         AnyContains(prefs, std::string(".draft_folder\", \"") + kLocalFolders);
}

bool ThunderbirdPrefs::FindIdentity(const PrefLines& prefs, std::string* identity) const {
  // Compared in the escaped form the address has in the file.
  const std::string wanted = ".useremail\", \"" + AsciiLower(EscapePrefText(request_.address)) + "\"";
  const std::string prefix = "mail.identity.id";
  for (const std::string& line : prefs) {
    const std::string lower = AsciiLower(line);
    const size_t match = lower.find(wanted);
    if (match == std::string::npos) continue;
    const size_t start = lower.find(prefix);
    if (start == std::string::npos || start + prefix.size() > match) continue;
    const std::string id = line.substr(start + prefix.size(), match - start - prefix.size());
    // An identity that no account uses is left over from a removed account.
    if (!AnyListsIdentity(prefs, id)) continue;
    *identity = id;
    return true;
  }
  return false;
}

PrefLines ThunderbirdPrefs::Rewrite(const PrefLines& prefs, const std::string& identity,
                                    PrefNumbers* numbers) const {
  PrefLines out;
  size_t i = 0;
  bool account_found = false;
  while (i < prefs.size() && !account_found) {
    out.push_back(prefs[i]);
    account_found = ListsIdentity(prefs[i++], identity);
  }
  // Thunderbird keeps an account's ".server" line right after its ".identities" line.
  std::string server;
  long long account = 0;
  if (account_found && i < prefs.size()) {
    const std::string& line = prefs[i++];
    out.push_back(line);
    server = Between(line, ".server\", \"server", "\"");
    account = AtoiLike(Between(line, "mail.account.account", ".server"));
  }

  const std::string id = Identity(identity), srv = Server(server);
  std::string smtp;  // the SMTP-server number, once the identity's smtpServer line is read
  bool written[kFlaggedSmtpSuffixes] = {};
  for (; i < prefs.size(); ++i) {
    const std::string& line = prefs[i];
    if (request_.make_default && Contains(line, kDefaultAccountPrefix)) {
      out.push_back(DefaultAccountLine(account));
    } else if (Contains(line, id + ".fullName")) {
      out.push_back(PrefLine(id + ".fullName", PrefText(request_.display_name)));
    } else if (Contains(line, id + ".smtpServer")) {
      out.push_back(line);
      smtp = SmtpNumberOf(line);
    } else if (Contains(line, srv + ".hostname")) {
      out.push_back(PrefLine(srv + ".hostname", PrefText(provider_.pop3_host)));
    } else if (Contains(line, srv + ".login_at_startup")) {
      out.push_back(PrefLine(srv + ".login_at_startup", kPrefTrue));
    } else if (Contains(line, srv + ".type")) {
      out.push_back(PrefLine(srv + ".type", PrefText("pop3")));
    } else if (Contains(line, srv + ".port")) {
      out.push_back(PrefLine(srv + ".port", PrefNumber(provider_.pop3_port)));
    } else if (Contains(line, srv + ".socketType")) {
      out.push_back(PrefLine(srv + ".socketType", PrefNumber(3)));
    } else if (Contains(line, srv + ".userName")) {
      out.push_back(PrefLine(srv + ".userName", PrefText(request_.address)));
    } else {
      int k = 0;
      while (k < kSmtpSuffixCount && !Contains(line, SmtpServer(smtp) + kSmtpSuffixes[k])) ++k;
      if (k == kSmtpSuffixCount) {
        out.push_back(line);
        continue;
      }
      out.push_back(SmtpLine(smtp, kSmtpSuffixes[k]));
      if (k < kFlaggedSmtpSuffixes) written[k] = true;
    }
  }
  // An identity without an SMTP server of its own has no server to complete.
  if (!smtp.empty()) {
    for (int k = 0; k < kFlaggedSmtpSuffixes; ++k)
      if (!written[k]) out.push_back(SmtpLine(smtp, kSmtpSuffixes[k]));
  }

  *numbers = {account, AtoiLike(identity), AtoiLike(server)};
  return out;
}

PrefLines ThunderbirdPrefs::Add(const PrefLines& prefs, PrefNumbers* numbers) const {
  const PrefNumbers n{NextAccountNumber(prefs), NextIdentityNumber(prefs), NextServerNumber(prefs)};
  const bool local_folders = UsesLocalFolders(prefs, n.identity);
  PrefLines out;
  size_t i = 0;

  // The comment header: everything before the first preference line.
  while (i < prefs.size() && (prefs[i].empty() || prefs[i][0] != 'u')) out.push_back(prefs[i++]);
  for (const std::string& line : AccountLines(n)) out.push_back(line);

  bool listed = false;
  while (i < prefs.size() && !listed) {
    const std::string& line = prefs[i++];
    listed = Contains(line, kAccounts);
    out.push_back(listed ? AccountsLine(ExtendedAccountList(line, n.account)) : line);
  }
  // A profile without an account list has no account yet: the new one is its first.
  if (!listed) out.push_back(AccountsLine("account" + std::to_string(n.account)));

  bool default_found = false;
  while (i < prefs.size() && !default_found) {
    const std::string& line = prefs[i++];
    default_found = Contains(line, kDefaultAccountPrefix);
    out.push_back(default_found && request_.make_default ? DefaultAccountLine(n.account) : line);
  }
  if (!AnyContains(prefs, kDefaultAccountPrefix) && (request_.make_default || !listed))
    out.push_back(DefaultAccountLine(n.account));

  for (const std::string& line : NewIdentityAndServerLines(n, local_folders, true)) out.push_back(line);

  // The new identity sends through smtp1, which gets the provider's settings.
  bool written[kSmtpSuffixCount] = {};
  for (; i < prefs.size(); ++i) {
    int k = 0;
    while (k < kSmtpSuffixCount && !Contains(prefs[i], SmtpServer("1") + kSmtpSuffixes[k])) ++k;
    if (k == kSmtpSuffixCount) {
      out.push_back(prefs[i]);
    } else {
      out.push_back(SmtpLine("1", kSmtpSuffixes[k]));
      written[k] = true;
    }
  }
  for (int k = 0; k < kSmtpSuffixCount; ++k)
    if (!written[k]) out.push_back(SmtpLine("1", kSmtpSuffixes[k]));
  if (!AnyContains(prefs, "\"mail.smtpservers\"")) out.push_back(PrefLine("mail.smtpservers", PrefText("smtp1")));
  if (!AnyContains(prefs, "\"mail.smtp.defaultserver\""))
    out.push_back(PrefLine("mail.smtp.defaultserver", PrefText("smtp1")));

  *numbers = n;
  return out;
}

PrefLines ThunderbirdPrefs::NewProfile(PrefNumbers* numbers) const {
  *numbers = {2, 1, 2};
  return CompleteSet(*numbers);
}

PrefLines ThunderbirdPrefs::CompleteSet(const PrefNumbers& n) const {
  PrefLines out = AccountLines(n);
  out.push_back(AccountsLine("account" + std::to_string(n.account)));
  out.push_back(DefaultAccountLine(n.account));
  for (const std::string& line : NewIdentityAndServerLines(n, true, false)) out.push_back(line);
  for (const char* suffix : kSmtpSuffixes) out.push_back(SmtpLine("1", suffix));
  out.push_back(PrefLine("mail.smtpservers", PrefText("smtp1")));
  out.push_back(PrefLine("mail.smtp.defaultserver", PrefText("smtp1")));
  return out;
}

std::string ThunderbirdPrefs::AccountsLine(const std::string& list) const {
  return PrefLine(kAccounts, "\"" + list + "\"");  // the list as it stands in the file
}

std::string ThunderbirdPrefs::DefaultAccountLine(long long account) const {
  return PrefLine(kDefaultAccount, PrefText("account" + std::to_string(account)));
}

PrefLines ThunderbirdPrefs::AccountLines(const PrefNumbers& n) const {
  const std::string account = "mail.account.account" + std::to_string(n.account);
  return {PrefLine(account + ".identities", PrefText("id" + std::to_string(n.identity))),
          PrefLine(account + ".server", PrefText("server" + std::to_string(n.server)))};
}

PrefLines ThunderbirdPrefs::NewIdentityAndServerLines(const PrefNumbers& n, bool local_folders,
                                                      bool socket_type) const {
  const std::string id = Identity(std::to_string(n.identity)), srv = Server(std::to_string(n.server));
  PrefLines lines{
      PrefLine(id + ".fullName", PrefText(request_.display_name)),
      PrefLine(id + ".smtpServer", PrefText("smtp1")),
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

std::string ThunderbirdPrefs::SmtpLine(const std::string& id, const std::string& suffix) const {
  const std::string name = SmtpServer(id) + suffix;
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
