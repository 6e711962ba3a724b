// The three ways of putting an account into the lines of a Thunderbird
// prefs.js: rewriting the account found, adding one to existing preferences,
// and writing the complete set for a new profile. Works on the lines read
// once, as Thunderbird reads a preference; lines that set no preference are
// copied unchanged.
#pragma once

#include <string>
#include <vector>

#include "app/ProviderSettings.h"
#include "clients/AccountRequest.h"
#include "clients/files/ParsedPrefs.h"
#include "clients/files/ThunderbirdAccounts.h"
#include "clients/files/ThunderbirdPrefNames.h"
#include "platform/SafeReplace.h"

namespace pw {

using PrefLines = std::vector<std::string>;

class ThunderbirdPrefs {
 public:
  ThunderbirdPrefs(const AccountRequest& request, const ProviderSettings& provider);

  // Gives the found account the provider's settings, keeping its numbers:
  // its server and its identity's SMTP server get every line of a new
  // account's, in place or added. An SMTP server that another identity also
  // sends through stays as it is, as does the default server of an identity
  // that names none: the identity then gets a server of its own, chosen as
  // for a new account. Adds the SMTP server's number. The new file's bytes go
  // to `sink`, every line followed by CR LF; `written` gets the lines put
  // into it, in its order.
  void RewriteTo(const ParsedPrefs& prefs, PrefNumbers* numbers, PrefLines* written, SaveSink& sink) const;
  // Adds the account with the next free numbers and an SMTP server of its
  // own; every other account and SMTP server stays as it is.
  void AddTo(const ParsedPrefs& prefs, PrefNumbers* numbers, SaveSink& sink) const;
  // The account of a profile that had no prefs.js: account 2, identity 1,
  // server 2, smtp1.
  PrefLines NewProfile(PrefNumbers* numbers) const;
  // Every line of one account with local folders (also the template of the
  // run log's report).
  PrefLines CompleteSet(const PrefNumbers& numbers) const;

 private:
  std::string AccountsLine(const std::string& list) const;
  std::string DefaultAccountLine(const std::string& account) const;
  PrefLines AccountLines(const PrefNumbers& n) const;
  PrefLines NewIdentityAndServerLines(const PrefNumbers& n, bool local_folders, bool socket_type) const;
  std::string SmtpLine(const std::string& smtp, const std::string& suffix) const;
  std::string FolderUri(bool local_folders, const std::string& folder) const;

  AccountRequest request_;
  ProviderSettings provider_;
  ThunderbirdAccounts accounts_;
};

}  // namespace pw
