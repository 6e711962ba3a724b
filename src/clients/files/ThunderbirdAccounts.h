// What a prefs.js says about its accounts: the account that sends as an
// address, the numbers a new account takes, where identities keep their mail,
// and which SMTP server an identity sends through. Asked of the lines read
// once (ParsedPrefs).
#pragma once

#include <string>
#include <string_view>

#include "app/ProviderSettings.h"
#include "clients/files/ParsedPrefs.h"
#include "clients/files/ThunderbirdPrefNames.h"

namespace pw {

class ThunderbirdAccounts {
 public:
  ThunderbirdAccounts(const std::string& address, const ProviderSettings& provider)
      : address_(address), provider_(provider) {}

  // The account that sends as the address: an identity whose ".useremail" is
  // the address (letter case ignored), listed in the ".identities" of an
  // account that has a ".server" line. Gives the account, identity and server
  // numbers.
  bool FindAccount(const ParsedPrefs& prefs, PrefNumbers* found) const;
  // The account `account` ("account3") when its first identity sends as the
  // address and it has a ".server" line: automatic mode's account, which
  // another account with the same address must not stand in for.
  bool FindNamedAccount(const ParsedPrefs& prefs, const std::string& account, PrefNumbers* found) const;
  // An SMTP server that already sends as the address through the provider's
  // host (both compared without letter case), other than the key `except`
  // ("smtp2"): its number.
  bool FindSmtp(const ParsedPrefs& prefs, std::string* smtp, std::string_view except) const;

 private:
  std::string address_;
  ProviderSettings provider_;
};

// The numbers a new account takes: 1 + the largest number N of a key stem +
// N, in the preference names below the stem's branch ("mail.account." and
// "account" give "mail.account.account7.server") and in the text values of
// "mail." preferences, items of a list included; 1 when there is none.
// Computed in 64 bits: a number too large for them is no key we could make;
// when the largest one left is the largest there is, the smallest free number.
struct NextPrefNumbers {
  long long account, identity, server, smtp;
};
NextPrefNumbers NextNumbers(const ParsedPrefs& prefs);
long long NextSmtpNumber(const ParsedPrefs& prefs);

// Whether a new identity keeps its drafts and sent mail in the local folders:
// always for the first identity, else when another identity does.
bool UsesLocalFolders(const ParsedPrefs& prefs, long long identity);

// The SMTP server key an identity names ("smtp2"), or "" when it names none
// and so sends through the default server.
std::string SmtpKeyOf(const ParsedPrefs& prefs, const std::string& identity);
// Whether an identity of some account, other than `identity`, sends through
// the SMTP server `key`: by naming it, or by naming none while it is the
// default.
bool SmtpUsedByOthers(const ParsedPrefs& prefs, const std::string& identity, const std::string& key);

}  // namespace pw
