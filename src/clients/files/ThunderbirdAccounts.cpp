#include "clients/files/ThunderbirdAccounts.h"

#include <algorithm>
#include <array>
#include <climits>
#include <unordered_map>
#include <vector>

#include "platform/Text.h"

namespace pw {

namespace {

const char kSmtpServers[] = "mail.smtpservers";
const char kDefaultSmtpServer[] = "mail.smtp.defaultserver";
const char kLocalFolders[] = "mailbox://nobody@Local%20Folders";

// The number after `stem` in `key`, when the rest of the key is decimal
// digits that fit 64 bits.
bool KeyNumber(std::string_view key, std::string_view stem, long long* number) {
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

// A key stem and the branch of the preferences named by its keys.
struct KeyStem {
  std::string_view branch, stem;
};

// NextNumber for every stem at once, in one pass over the preferences.
template <size_t N>
std::array<long long, N> NextNumbersOf(const ParsedPrefs& prefs, const std::array<KeyStem, N>& stems) {
  std::array<std::vector<long long>, N> used;
  long long number = 0;
  const auto use = [&](size_t k, long long n) {
    // The lines of one key stand together: each number is kept once a run.
    if (used[k].empty() || used[k].back() != n) used[k].push_back(n);
  };
  for (const PrefView pref : prefs.prefs()) {
    for (size_t k = 0; k < N; ++k) {
      const std::string_view branch = stems[k].branch;
      if (!StartsWith(pref.name, branch)) continue;
      const size_t end = pref.name.find('.', branch.size());
      if (end != std::string_view::npos &&
          KeyNumber(pref.name.substr(branch.size(), end - branch.size()), stems[k].stem, &number))
        use(k, number);
    }
    if (!pref.is_text || !StartsWith(pref.name, "mail.")) continue;
    ForEachItem(pref.value, [&](std::string_view item) {
      for (size_t k = 0; k < N; ++k)
        if (KeyNumber(item, stems[k].stem, &number)) use(k, number);
    });
  }
  std::array<long long, N> next;
  for (size_t k = 0; k < N; ++k) next[k] = NextFree(std::move(used[k]));
  return next;
}

long long NextNumberOf(const ParsedPrefs& prefs, std::string_view branch, std::string_view stem) {
  return NextNumbersOf(prefs, std::array<KeyStem, 1>{KeyStem{branch, stem}})[0];
}

bool UsesLocalFoldersOf(const ParsedPrefs& prefs, long long identity) {
  if (identity == 1) return true;
  for (const PrefView pref : prefs.prefs()) {
    const bool folder = StartsWith(pref.name, "mail.identity.") &&
                        ((EndsWith(pref.name, ".fcc_folder") && pref.name.size() > 25) ||
                         (EndsWith(pref.name, ".draft_folder") && pref.name.size() > 27));
    if (folder && pref.is_text && StartsWith(pref.value, kLocalFolders)) return true;
  }
  return false;
}

// The last preference of every name made of `prefix`, some text and
// `suffix`, by name: one pass for questions asked of many of them.
std::unordered_map<std::string_view, PrefView> LastOf(const ParsedPrefs& prefs, std::string_view prefix,
                                                      std::string_view suffix) {
  std::unordered_map<std::string_view, PrefView> last;
  for (const PrefView pref : prefs.prefs())
    if (pref.name.size() > prefix.size() + suffix.size() && StartsWith(pref.name, prefix) &&
        EndsWith(pref.name, suffix))
      last[pref.name] = pref;
  return last;
}

bool LastTextIn(const std::unordered_map<std::string_view, PrefView>& last, const std::string& name,
                std::string_view* value) {
  const auto it = last.find(name);
  if (it == last.end() || !it->second.is_text) return false;
  *value = it->second.value;
  return true;
}

// The server Thunderbird sends through for an identity that names none: the
// default server, else the first of the list.
std::string DefaultSmtpKey(const ParsedPrefs& prefs) {
  std::string_view key;
  if (prefs.LastText(kDefaultSmtpServer, &key) && !key.empty()) return std::string(key);
  if (!prefs.LastText(kSmtpServers, &key)) return "";
  const std::vector<std::string> items = ListItems(key);
  return items.empty() ? "" : items.front();
}

}  // namespace

NextPrefNumbers NextNumbers(const ParsedPrefs& prefs) {
  const std::array<long long, 4> next = NextNumbersOf(
      prefs, std::array<KeyStem, 4>{KeyStem{"mail.account.", "account"}, KeyStem{"mail.identity.", "id"},
                                    KeyStem{"mail.server.", "server"}, KeyStem{"mail.smtpserver.", "smtp"}});
  return {next[0], next[1], next[2], next[3]};
}

long long NextSmtpNumber(const ParsedPrefs& prefs) { return NextNumberOf(prefs, "mail.smtpserver.", "smtp"); }

bool UsesLocalFolders(const ParsedPrefs& prefs, long long identity) { return UsesLocalFoldersOf(prefs, identity); }

bool ThunderbirdAccounts::FindAccount(const ParsedPrefs& prefs, PrefNumbers* found) const {
  PrefNumbers n;
  for (const PrefView email : prefs.prefs()) {
    if (!email.is_text || !Middle(email.name, "mail.identity.id", ".useremail", &n.identity) ||
        !EqualsNoCase(std::string(email.value), address_))
      continue;
    // An identity that no account uses (left by a removed account) is not the account.
    const std::string id = "id" + n.identity;
    for (const PrefView list : prefs.prefs()) {
      std::string_view server;
      if (list.is_text && Middle(list.name, "mail.account.account", ".identities", &n.account) &&
          ListHas(list.value, id) && prefs.LastText(AccountName(n.account) + ".server", &server) &&
          Middle(server, "server", "", &n.server)) {
        *found = n;
        return true;
      }
    }
  }
  return false;
}

bool ThunderbirdAccounts::FindNamedAccount(const ParsedPrefs& prefs, const std::string& account,
                                           PrefNumbers* found) const {
  PrefNumbers n;
  std::string_view identities, server, email;
  if (!Middle(account, "account", "", &n.account) ||
      !prefs.LastText(AccountName(n.account) + ".identities", &identities) || ListItems(identities).empty() ||
      !Middle(ListItems(identities).front(), "id", "", &n.identity) ||
      !prefs.LastText(AccountName(n.account) + ".server", &server) || !Middle(server, "server", "", &n.server) ||
      !prefs.LastText(IdentityName(n.identity) + ".useremail", &email) ||
      !EqualsNoCase(std::string(email), address_))
    return false;
  *found = n;
  return true;
}

bool ThunderbirdAccounts::FindSmtp(const ParsedPrefs& prefs, std::string* smtp, std::string_view except) const {
  const std::string host = UpperCaseText(provider_.smtp_host), address = UpperCaseText(address_);
  std::unordered_map<std::string_view, PrefView> usernames;
  bool usernames_read = false;
  for (const PrefView pref : prefs.prefs()) {
    if (!pref.is_text || !Middle(pref.name, "mail.smtpserver.smtp", ".hostname", smtp) || "smtp" + *smtp == except ||
        UpperCaseText(std::string(pref.value)) != host)
      continue;
    if (!usernames_read) usernames = LastOf(prefs, "mail.smtpserver.smtp", ".username");
    usernames_read = true;
    std::string_view username;
    if (LastTextIn(usernames, SmtpName(*smtp) + ".username", &username) &&
        UpperCaseText(std::string(username)) == address)
      return true;
  }
  return false;
}

std::string SmtpKeyOf(const ParsedPrefs& prefs, const std::string& identity) {
  std::string_view key;
  return prefs.LastText(IdentityName(identity) + ".smtpServer", &key) ? std::string(key) : std::string();
}

bool SmtpUsedByOthers(const ParsedPrefs& prefs, const std::string& identity, const std::string& key) {
  const std::string default_key = DefaultSmtpKey(prefs);
  const auto servers = LastOf(prefs, "mail.identity.id", ".smtpServer");
  std::string account, other;
  for (const PrefView list : prefs.prefs()) {
    if (!list.is_text || !Middle(list.name, "mail.account.account", ".identities", &account)) continue;
    bool used = false;
    ForEachItem(list.value, [&](std::string_view item) {
      if (used || !Middle(item, "id", "", &other) || other == identity) return;
      std::string_view named;
      if (!LastTextIn(servers, IdentityName(other) + ".smtpServer", &named)) named = {};
      used = (named.empty() ? std::string_view(default_key) : named) == key;
    });
    if (used) return true;
  }
  return false;
}


}  // namespace pw
