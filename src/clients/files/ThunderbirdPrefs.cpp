#include "clients/files/ThunderbirdPrefs.h"

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <set>
#include <unordered_map>

#include "clients/files/PrefLine.h"
#include "clients/files/SettingsFile.h"
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

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The text between `prefix` and `suffix` when `text` is made of the three
// and that text is not empty.
bool Middle(std::string_view text, std::string_view prefix, std::string_view suffix, std::string* middle) {
  if (text.size() <= prefix.size() + suffix.size() || !StartsWith(text, prefix) || !EndsWith(text, suffix))
    return false;
  middle->assign(text.substr(prefix.size(), text.size() - prefix.size() - suffix.size()));
  return true;
}

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

// The list with `item` at its end, unless it holds it already.
std::string Extended(std::string_view list, const std::string& item) {
  if (ListHas(list, item)) return std::string(list);
  return ListItems(list).empty() ? item : std::string(list) + "," + item;
}

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

// Lines handed on to a sink, every line followed by CR LF. Lines copied from
// the file that end in CR LF there go on as one piece per run.
class PrefOutput {
 public:
  explicit PrefOutput(SaveSink& sink) : sink_(sink) {}
  ~PrefOutput() { Flush(); }
  void Line(std::string_view line) {
    Flush();
    sink_.Append(line);
    sink_.Append("\r\n");
  }
  void Lines(const PrefLines& lines) {
    for (const std::string& line : lines) Line(line);
  }
  // Line `i` of the file, unchanged.
  void Copy(const ParsedPrefs& prefs, size_t i) {
    const std::string_view span = prefs.LineWithEnd(i);
    if (span.size() < 2 || span.compare(span.size() - 2, 2, "\r\n") != 0) return Line(prefs.line(i));
    if (pending_.data() + pending_.size() != span.data()) {
      Flush();
      pending_ = span;
    } else {
      pending_ = std::string_view(pending_.data(), pending_.size() + span.size());
    }
  }

 private:
  void Flush() {
    if (!pending_.empty()) sink_.Append(pending_);
    pending_ = {};
  }

  SaveSink& sink_;
  std::string_view pending_;  // lines copied from the file and not yet handed on
};

}  // namespace

ParsedPrefs::ParsedPrefs(std::string_view text) : text_(text) {
  const size_t lines = LineCountHint(text);
  lines_.reserve(lines);
  kinds_.reserve(lines);
  PrefView pref;
  std::string name_text, value_text;
  // A place in the text, or in decoded_ for a part that had escapes.
  const auto place = [&](std::string_view part, const std::string& decoded, uint8_t flag, uint8_t* kind) {
    if (part.data() != decoded.data()) return static_cast<uint32_t>(part.data() - text_.data());
    *kind |= flag;
    const size_t at = decoded_.size();
    decoded_ += part;
    return static_cast<uint32_t>(at);
  };
  ForEachLine(text, [&](std::string_view line, size_t start) {
    Line entry{static_cast<uint32_t>(start), 0, 0, 0, 0};
    uint8_t kind = 0;
    if (ReadPrefLine(line, &pref, &name_text, &value_text)) {
      kind = kPref | (pref.is_text ? kText : 0);
      entry.name = place(pref.name, name_text, kNameDecoded, &kind);
      entry.name_size = static_cast<uint32_t>(pref.name.size());
      entry.value = place(pref.value, value_text, kValueDecoded, &kind);
      entry.value_size = static_cast<uint32_t>(pref.value.size());
      name_text.clear();
      value_text.clear();
    }
    lines_.push_back(entry);
    kinds_.push_back(kind);
  });
}

std::string_view ParsedPrefs::LineWithEnd(size_t i) const {
  const size_t start = lines_[i].start;
  const size_t end = i + 1 < lines_.size() ? lines_[i + 1].start : text_.size();
  return text_.substr(start, end - start);
}

std::string_view ParsedPrefs::line(size_t i) const {
  std::string_view line = LineWithEnd(i);
  // No line holds a CR or LF: what ends it is its line end.
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

std::string_view ParsedPrefs::Part(uint8_t kind, uint8_t decoded, uint32_t at, uint32_t size) const {
  return (kind & decoded) ? std::string_view(decoded_).substr(at, size) : text_.substr(at, size);
}

bool ParsedPrefs::At(size_t i, PrefView* pref) const {
  const uint8_t kind = kinds_[i];
  if (!(kind & kPref)) return false;
  const Line& entry = lines_[i];
  pref->name = Part(kind, kNameDecoded, entry.name, entry.name_size);
  pref->is_text = (kind & kText) != 0;
  pref->value = Part(kind, kValueDecoded, entry.value, entry.value_size);
  return true;
}

PrefView ParsedPrefs::PrefIterator::operator*() const {
  PrefView pref;
  prefs_.At(line_, &pref);
  return pref;
}

ParsedPrefs::PrefIterator& ParsedPrefs::PrefIterator::operator++() {
  ++line_;
  Skip();
  return *this;
}

void ParsedPrefs::PrefIterator::Skip() {
  while (line_ < prefs_.line_count() && !(prefs_.kinds_[line_] & kPref)) ++line_;
}

bool ParsedPrefs::LastText(std::string_view name, std::string_view* value) const {
  PrefView pref;
  for (size_t i = lines_.size(); i-- > 0;) {
    if (!At(i, &pref) || pref.name != name) continue;
    if (!pref.is_text) return false;
    *value = pref.value;
    return true;
  }
  return false;
}

std::vector<std::string> PrefListItems(const std::string& list) { return ListItems(list); }

ThunderbirdPrefs::ThunderbirdPrefs(const AccountRequest& request, const ProviderSettings& provider)
    : request_(request), provider_(provider) {}

long long ThunderbirdPrefs::NextNumber(const PrefLines& lines, const std::string& branch, const std::string& stem) {
  const std::string text = JoinLines(lines);
  return NextNumberOf(ParsedPrefs(text), branch, stem);
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

bool ThunderbirdPrefs::UsesLocalFolders(const PrefLines& lines, long long identity) {
  const std::string text = JoinLines(lines);
  return UsesLocalFoldersOf(ParsedPrefs(text), identity);
}

bool ThunderbirdPrefs::FindAccount(const PrefLines& lines, PrefNumbers* found) const {
  const std::string text = JoinLines(lines);
  return FindAccount(ParsedPrefs(text), found);
}

bool ThunderbirdPrefs::FindAccount(const ParsedPrefs& prefs, PrefNumbers* found) const {
  PrefNumbers n;
  for (const PrefView email : prefs.prefs()) {
    if (!email.is_text || !Middle(email.name, "mail.identity.id", ".useremail", &n.identity) ||
        !EqualsNoCase(std::string(email.value), request_.address))
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

bool ThunderbirdPrefs::FindNamedAccount(const PrefLines& lines, const std::string& account,
                                        PrefNumbers* found) const {
  const std::string text = JoinLines(lines);
  return FindNamedAccount(ParsedPrefs(text), account, found);
}

bool ThunderbirdPrefs::FindNamedAccount(const ParsedPrefs& prefs, const std::string& account,
                                        PrefNumbers* found) const {
  PrefNumbers n;
  std::string_view identities, server, email;
  if (!Middle(account, "account", "", &n.account) ||
      !prefs.LastText(AccountName(n.account) + ".identities", &identities) || ListItems(identities).empty() ||
      !Middle(ListItems(identities).front(), "id", "", &n.identity) ||
      !prefs.LastText(AccountName(n.account) + ".server", &server) || !Middle(server, "server", "", &n.server) ||
      !prefs.LastText(IdentityName(n.identity) + ".useremail", &email) ||
      !EqualsNoCase(std::string(email), request_.address))
    return false;
  *found = n;
  return true;
}

bool ThunderbirdPrefs::FindSmtpServer(const PrefLines& lines, std::string* smtp, const std::string& except) const {
  const std::string text = JoinLines(lines);
  return FindSmtp(ParsedPrefs(text), smtp, except);
}

bool ThunderbirdPrefs::FindSmtp(const ParsedPrefs& prefs, std::string* smtp, std::string_view except) const {
  const std::string host = UpperCaseText(provider_.smtp_host), address = UpperCaseText(request_.address);
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

namespace {

// New lines by preference name; each records whether it took an old line's place.
class Replacements {
 public:
  void Set(const std::string& line) {
    Pref pref;
    if (ReadPrefLine(line, &pref)) lines_[pref.name] = line;
  }
  // The new line for a line that sets `pref` (none: no preference); null
  // when the line stays.
  const std::string* For(const PrefView* pref) {
    if (!pref || lines_.empty()) return nullptr;
    const auto it = lines_.find(pref->name);
    if (it == lines_.end()) return nullptr;
    replaced_.insert(it->first);
    return &it->second;
  }
  bool Replaced(const std::string& name) const { return replaced_.count(name) > 0; }

 private:
  std::map<std::string, std::string, std::less<>> lines_;
  std::set<std::string, std::less<>> replaced_;
};

// The lines of a rewrite: a new line takes the place of every line that sets
// its preference; one that no line sets goes after the last line of its
// group ("mail.server.server3."), or at the end when the group has none.
// Records every line it puts into the file, in the file's order. Which
// preferences the file sets, and where each group ends, are found in one
// pass when the result is written.
class PrefEdit {
 public:
  explicit PrefEdit(const ParsedPrefs& prefs) : prefs_(prefs) {}

  void Put(const std::string& line, const std::string& group) { edits_.push_back({line, NameOf(line), group, false}); }

  // Only in place of the lines that set it; a file without one stays without.
  void Replace(const std::string& line) { edits_.push_back({line, NameOf(line), "", true}); }

  void Result(SaveSink& sink, PrefLines* written) const {
    std::set<std::string_view> set;           // the edits' preferences that the file sets
    std::map<std::string_view, size_t> ends;  // the last line of each edit's group
    PrefView pref;
    for (size_t i = 0; i < prefs_.line_count(); ++i) {
      if (!prefs_.At(i, &pref)) continue;
      for (const Edit& edit : edits_) {
        if (pref.name == edit.name) set.insert(edit.name);
        if (!edit.group.empty() && StartsWith(pref.name, edit.group)) ends[edit.group] = i;
      }
    }
    std::map<std::string_view, std::string_view> replacements;
    std::map<size_t, std::vector<std::string_view>> after;
    std::vector<std::string_view> tail;
    for (const Edit& edit : edits_) {
      if (set.count(edit.name)) {
        replacements[edit.name] = edit.line;
      } else if (!edit.replace_only) {
        const auto end = ends.find(edit.group);
        if (end != ends.end())
          after[end->second].push_back(edit.line);
        else
          tail.push_back(edit.line);
      }
    }

    PrefOutput out(sink);
    const auto put = [&](std::string_view line) {
      out.Line(line);
      written->emplace_back(line);
    };
    for (size_t i = 0; i < prefs_.line_count(); ++i) {
      const auto replaced =
          prefs_.At(i, &pref) && !pref.name.empty() ? replacements.find(pref.name) : replacements.end();
      if (replaced == replacements.end())
        out.Copy(prefs_, i);
      else
        put(replaced->second);
      const auto inserted = after.find(i);
      if (inserted != after.end())
        for (const std::string_view line : inserted->second) put(line);
    }
    for (const std::string_view line : tail) put(line);
  }

 private:
  struct Edit {
    std::string line, name, group;
    bool replace_only;
  };

  static std::string NameOf(const std::string& line) {
    Pref pref;
    ReadPrefLine(line, &pref);
    return pref.name;
  }

  const ParsedPrefs& prefs_;
  std::vector<Edit> edits_;
};

// The SMTP server key an identity names ("smtp2"), or "" when it names none
// and so sends through the default server.
std::string SmtpKeyOf(const ParsedPrefs& prefs, const std::string& identity) {
  std::string_view key;
  return prefs.LastText(IdentityName(identity) + ".smtpServer", &key) ? std::string(key) : std::string();
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

// Whether an identity of some account, other than `identity`, sends through
// the SMTP server `key`: by naming it, or by naming none while it is the
// default.
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

}  // namespace

PrefLines ThunderbirdPrefs::Rewrite(const PrefLines& lines, PrefNumbers* n, PrefLines* written) const {
  const std::string text = JoinLines(lines);
  PrefLines ignored;
  StringSink out;
  RewriteTo(ParsedPrefs(text), n, written ? written : &ignored, out);
  return SplitLines(out.text);
}

void ThunderbirdPrefs::RewriteTo(const ParsedPrefs& prefs, PrefNumbers* n, PrefLines* written, SaveSink& sink) const {
  const std::string id = IdentityName(n->identity) + ".", srv = ServerName(n->server) + ".";
  PrefEdit edit(prefs);
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
    if (!FindSmtp(prefs, &n->smtp, own_key))
      n->smtp = std::to_string(NextNumberOf(prefs, "mail.smtpserver.", "smtp"));
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
  std::string_view list;
  const bool listed = prefs.LastText(kSmtpServers, &list);
  if (!listed || !ListHas(list, key)) edit.Put(PrefLine(kSmtpServers, PrefText(Extended(list, key))), "");
  // As for a new account: without a default server Thunderbird uses the first of the list.
  std::string_view default_key;
  if (!own_server && !prefs.LastText(kDefaultSmtpServer, &default_key))
    edit.Put(PrefLine(kDefaultSmtpServer, PrefText(ListItems(Extended(list, key)).front())), "");

  edit.Result(sink, written);
}

PrefLines ThunderbirdPrefs::Add(const PrefLines& lines, PrefNumbers* numbers) const {
  const std::string text = JoinLines(lines);
  StringSink out;
  AddTo(ParsedPrefs(text), numbers, out);
  return SplitLines(out.text);
}

void ThunderbirdPrefs::AddTo(const ParsedPrefs& prefs, PrefNumbers* numbers, SaveSink& sink) const {
  const std::array<long long, 4> next = NextNumbersOf(
      prefs, std::array<KeyStem, 4>{KeyStem{"mail.account.", "account"}, KeyStem{"mail.identity.", "id"},
                                    KeyStem{"mail.server.", "server"}, KeyStem{"mail.smtpserver.", "smtp"}});
  const long long identity = next[1];
  PrefNumbers n{std::to_string(next[0]), std::to_string(identity), std::to_string(next[2]), ""};
  const bool reused = FindSmtp(prefs, &n.smtp, "");
  if (!reused) n.smtp = std::to_string(next[3]);
  const std::string smtp_key = "smtp" + n.smtp;

  Replacements replacements;
  if (request_.make_default) replacements.Set(DefaultAccountLine(n.account));
  // A server that already sends as the address is ours to rewrite; no other is.
  if (reused)
    for (const char* suffix : kSmtpSuffixes) replacements.Set(SmtpLine(n.smtp, suffix));

  const PrefLines account_lines = AccountLines(n);
  const PrefLines identity_lines = NewIdentityAndServerLines(n, UsesLocalFoldersOf(prefs, identity), true);
  PrefOutput out(sink);
  bool accounts_found = false, smtp_listed = false, default_smtp_found = false;
  bool account_written = false, identity_written = false;  // the latter follow the default-account line
  std::string first_smtp = smtp_key;
  PrefView view;
  for (size_t i = 0; i < prefs.line_count(); ++i) {
    const PrefView* pref = prefs.At(i, &view) ? &view : nullptr;
    // Before the first preference stands the comment header.
    if (pref && !account_written) {
      out.Lines(account_lines);
      account_written = true;
    }
    if (pref && pref->name == kAccounts && pref->is_text) {
      out.Line(AccountsLine(Extended(pref->value, "account" + n.account)));
      accounts_found = true;
    } else if (pref && pref->name == kSmtpServers && pref->is_text) {
      const std::string list = Extended(pref->value, smtp_key);
      out.Line(PrefLine(kSmtpServers, PrefText(list)));
      first_smtp = ListItems(list).front();
      smtp_listed = true;
    } else {
      const std::string* replaced = replacements.For(pref);
      if (replaced)
        out.Line(*replaced);
      else
        out.Copy(prefs, i);
    }
    default_smtp_found = default_smtp_found || (pref && pref->name == kDefaultSmtpServer);
    if (pref && pref->name == kDefaultAccount && !identity_written) {
      out.Lines(identity_lines);
      identity_written = true;
    }
  }
  if (!account_written) out.Lines(account_lines);
  // A profile without an account list has no account yet: the new one is its first.
  if (!accounts_found) out.Line(AccountsLine("account" + n.account));
  if (!identity_written && (request_.make_default || !accounts_found)) out.Line(DefaultAccountLine(n.account));
  if (!identity_written) out.Lines(identity_lines);

  for (const char* suffix : kSmtpSuffixes)
    if (!replacements.Replaced(SmtpName(n.smtp) + suffix)) out.Line(SmtpLine(n.smtp, suffix));
  if (!smtp_listed) out.Line(PrefLine(kSmtpServers, PrefText(smtp_key)));
  // Without a default server Thunderbird uses the first of the list.
  if (!default_smtp_found) out.Line(PrefLine(kDefaultSmtpServer, PrefText(first_smtp)));

  *numbers = n;
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
