#include "clients/files/ThunderbirdPrefs.h"

#include <map>
#include <set>

#include "clients/files/PrefEdit.h"
#include "clients/files/PrefLine.h"
#include "clients/files/PrefOutput.h"

namespace pw {

namespace {

const char kAccounts[] = "mail.accountmanager.accounts";
const char kDefaultAccount[] = "mail.accountmanager.defaultaccount";
const char kSmtpServers[] = "mail.smtpservers";
const char kDefaultSmtpServer[] = "mail.smtp.defaultserver";
const char kLocalFolders[] = "mailbox://nobody@Local%20Folders";
const char* const kSmtpSuffixes[] = {".auth_method", ".port", ".try_ssl", ".hostname", ".username"};

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

}  // namespace

ThunderbirdPrefs::ThunderbirdPrefs(const AccountRequest& request, const ProviderSettings& provider)
    : request_(request), provider_(provider), accounts_(request.address, provider) {}

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
    if (!accounts_.FindSmtp(prefs, &n->smtp, own_key))
      n->smtp = std::to_string(NextSmtpNumber(prefs));
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

void ThunderbirdPrefs::AddTo(const ParsedPrefs& prefs, PrefNumbers* numbers, SaveSink& sink) const {
  const NextPrefNumbers next = NextNumbers(prefs);
  const long long identity = next.identity;
  PrefNumbers n{std::to_string(next.account), std::to_string(identity), std::to_string(next.server), ""};
  const bool reused = accounts_.FindSmtp(prefs, &n.smtp, "");
  if (!reused) n.smtp = std::to_string(next.smtp);
  const std::string smtp_key = "smtp" + n.smtp;

  Replacements replacements;
  if (request_.make_default) replacements.Set(DefaultAccountLine(n.account));
  // A server that already sends as the address is ours to rewrite; no other is.
  if (reused)
    for (const char* suffix : kSmtpSuffixes) replacements.Set(SmtpLine(n.smtp, suffix));

  const PrefLines account_lines = AccountLines(n);
  const PrefLines identity_lines = NewIdentityAndServerLines(n, UsesLocalFolders(prefs, identity), true);
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
