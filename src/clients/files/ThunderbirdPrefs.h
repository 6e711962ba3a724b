// The account lines of a Thunderbird prefs.js: finding the account that sends
// as an address, and the three ways of putting the account into the lines
// (rewriting the found account, adding one to existing preferences, writing
// the complete set for a new profile). Works on the file's lines in memory,
// reading each as Thunderbird reads a preference; lines that set no
// preference are copied unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProviderSettings.h"
#include "clients/AccountWriter.h"
#include "clients/files/PrefLine.h"
#include "clients/files/SettingsFile.h"

namespace pw {

using PrefLines = std::vector<std::string>;

// The items of a comma-separated preference list ("account1,account3"),
// without the blanks around them; empty items are left out.
std::vector<std::string> PrefListItems(const std::string& list);

// The numbers of an account as the preference names write them: "account"
// {account}, "id"{identity}, "server"{server} and the SMTP server "smtp"{smtp}.
struct PrefNumbers {
  std::string account;
  std::string identity;
  std::string server;
  std::string smtp;
};

// The lines of a prefs.js read once, and the preference each sets, viewed in
// the text they were split from (which must outlive this); a name or text
// value with escapes is decoded once and viewed where it is kept. A line
// costs 21 bytes here whatever its length: places in the text, not views.
class ParsedPrefs {
 public:
  // Places are 32-bit: a larger text cannot be parsed.
  static constexpr uint64_t kMaxText = UINT32_MAX;

  explicit ParsedPrefs(std::string_view text);
  ParsedPrefs(const ParsedPrefs&) = delete;
  ParsedPrefs& operator=(const ParsedPrefs&) = delete;

  size_t line_count() const { return lines_.size(); }
  std::string_view line(size_t i) const;
  // The line and the line end that follows it in the text, if any.
  std::string_view LineWithEnd(size_t i) const;
  // The preference line `i` sets; false for a line that sets none.
  bool At(size_t i, PrefView* pref) const;

  // The preferences in the order of their lines: for (PrefView p : prefs.prefs()).
  class PrefIterator {
   public:
    PrefIterator(const ParsedPrefs& prefs, size_t line) : prefs_(prefs), line_(line) { Skip(); }
    PrefView operator*() const;
    PrefIterator& operator++();
    bool operator!=(const PrefIterator& other) const { return line_ != other.line_; }

   private:
    void Skip();
    const ParsedPrefs& prefs_;
    size_t line_;
  };
  struct PrefRange {
    const ParsedPrefs& prefs;
    PrefIterator begin() const { return PrefIterator(prefs, 0); }
    PrefIterator end() const { return PrefIterator(prefs, prefs.line_count()); }
  };
  PrefRange prefs() const { return PrefRange{*this}; }

  // The last text value of `name`: the one Thunderbird keeps. False when the
  // last line of the name sets no text, or none sets it.
  bool LastText(std::string_view name, std::string_view* value) const;

 private:
  // A line: where it starts (it ends before the line end ahead of the next
  // line's start), and its preference's name and value, in the text or, when
  // decoded, in decoded_.
  struct Line {
    uint32_t start;
    uint32_t name, name_size;
    uint32_t value, value_size;
  };
  enum Kind : uint8_t { kPref = 1, kText = 2, kNameDecoded = 4, kValueDecoded = 8 };
  std::string_view Part(uint8_t kind, uint8_t decoded, uint32_t at, uint32_t size) const;

  std::string_view text_;
  std::vector<Line> lines_;
  std::vector<uint8_t> kinds_;  // per line: Kind bits, 0 for a line that sets no preference
  std::string decoded_;         // names and texts that had escapes, one after another
};

class ThunderbirdPrefs {
 public:
  ThunderbirdPrefs(const AccountRequest& request, const ProviderSettings& provider);

  // Finds the account that sends as the address: an identity whose
  // ".useremail" is the address (letter case ignored), listed in the
  // ".identities" of an account that has a ".server" line. Gives the account,
  // identity and server numbers.
  bool FindAccount(const PrefLines& prefs, PrefNumbers* found) const;

  // The account `account` ("account3") when its first identity sends as the
  // address and it has a ".server" line: automatic mode's account, which
  // another account with the same address must not stand in for.
  bool FindNamedAccount(const PrefLines& prefs, const std::string& account, PrefNumbers* found) const;

  // Gives the found account the provider's settings, keeping its numbers:
  // its server and its identity's SMTP server get every line of a new
  // account's, in place or added. An SMTP server that another identity also
  // sends through stays as it is, as does the default server of an identity
  // that names none: the identity then gets a server of its own, chosen as
  // for a new account. Adds the SMTP server's number; `written` gets the
  // lines put into the file, in its order.
  PrefLines Rewrite(const PrefLines& prefs, PrefNumbers* numbers, PrefLines* written = nullptr) const;
  // Adds the account with the next free numbers and an SMTP server of its
  // own; every other account and SMTP server stays as it is.
  PrefLines Add(const PrefLines& prefs, PrefNumbers* numbers) const;
  // The account of a profile that had no prefs.js: account 2, identity 1,
  // server 2, smtp1.
  PrefLines NewProfile(PrefNumbers* numbers) const;
  // Every line of one account with local folders (also the template of the
  // run log's report).
  PrefLines CompleteSet(const PrefNumbers& numbers) const;

  // 1 + the largest number N of a key stem + N: in the preference names below
  // `branch` ("mail.account." and "account" give "mail.account.account7.server")
  // and in the text values of "mail." preferences, items of a list included.
  // 1 when there is none. Computed in 64 bits: a number too large for them is
  // no key we could make; when the largest one left is the largest there is,
  // the smallest free number.
  static long long NextNumber(const PrefLines& prefs, const std::string& branch, const std::string& stem);
  static long long NextAccountNumber(const PrefLines& prefs);
  static long long NextIdentityNumber(const PrefLines& prefs);
  static long long NextServerNumber(const PrefLines& prefs);
  static long long NextSmtpNumber(const PrefLines& prefs);
  // Whether a new identity keeps its drafts and sent mail in the local
  // folders: always for the first identity, else when another identity does.
  static bool UsesLocalFolders(const PrefLines& prefs, long long identity);
  // The same steps on the lines read once; the new file's bytes go to
  // `sink`, every line followed by CR LF.
  bool FindAccount(const ParsedPrefs& prefs, PrefNumbers* found) const;
  bool FindNamedAccount(const ParsedPrefs& prefs, const std::string& account, PrefNumbers* found) const;
  void RewriteTo(const ParsedPrefs& prefs, PrefNumbers* numbers, PrefLines* written, SaveSink& sink) const;
  void AddTo(const ParsedPrefs& prefs, PrefNumbers* numbers, SaveSink& sink) const;

  // An SMTP server that already sends as the address through the provider's
  // host (both compared without letter case), other than the key `except`
  // ("smtp2"): its number.
  bool FindSmtpServer(const PrefLines& prefs, std::string* smtp, const std::string& except = "") const;

 private:
  bool FindSmtp(const ParsedPrefs& prefs, std::string* smtp, std::string_view except) const;
  std::string AccountsLine(const std::string& list) const;
  std::string DefaultAccountLine(const std::string& account) const;
  PrefLines AccountLines(const PrefNumbers& n) const;
  PrefLines NewIdentityAndServerLines(const PrefNumbers& n, bool local_folders, bool socket_type) const;
  std::string SmtpLine(const std::string& smtp, const std::string& suffix) const;
  std::string FolderUri(bool local_folders, const std::string& folder) const;

  AccountRequest request_;
  ProviderSettings provider_;
};

}  // namespace pw
