// The account lines of a Thunderbird prefs.js: finding the identity that has
// an address, and the three ways of putting the account into the lines
// (rewriting the found account, adding one to existing preferences, writing
// the complete set for a new profile). Works on the file's lines in memory;
// the result is what copying the file line by line gives.
#pragma once

#include <string>
#include <vector>

#include "app/ProviderSettings.h"
#include "clients/AccountWriter.h"

namespace pw {

using PrefLines = std::vector<std::string>;

// The numbers of the account written: "account"{account}, "id"{identity},
// "server"{server}.
struct PrefNumbers {
  long long account = 0;
  long long identity = 0;
  long long server = 0;
};

class ThunderbirdPrefs {
 public:
  ThunderbirdPrefs(const AccountRequest& request, const ProviderSettings& provider);

  // Finds the line whose ".useremail" is the address (letter case ignored)
  // and gives the identity text between "mail.identity.id" and ".useremail".
  bool FindIdentity(const PrefLines& prefs, std::string* identity) const;

  // Gives the found account the provider's settings in place, keeping its
  // identity, server and SMTP-server numbers.
  PrefLines Rewrite(const PrefLines& prefs, const std::string& identity, PrefNumbers* numbers) const;
  // Adds the account with the next free numbers.
  PrefLines Add(const PrefLines& prefs, PrefNumbers* numbers) const;
  // The account of a profile that had no prefs.js: account 2, identity 1, server 2.
  PrefLines NewProfile(PrefNumbers* numbers) const;
  // Every line of one account with local folders and SMTP server smtp1 (also
  // the template of the run log's report).
  PrefLines CompleteSet(const PrefNumbers& numbers) const;

  // Largest number + 1 over the lines that contain `marker`, the number read
  // at `position` (where it stands after user_pref(" and the marker); 1 when
  // there is none.
  static long long NextNumber(const PrefLines& prefs, const std::string& marker, size_t position);
  static long long NextAccountNumber(const PrefLines& prefs);
  static long long NextIdentityNumber(const PrefLines& prefs);
  static long long NextServerNumber(const PrefLines& prefs);
  // Whether a new identity keeps its drafts and sent mail in the local
  // folders: always for the first identity, else when another identity does.
  static bool UsesLocalFolders(const PrefLines& prefs, long long identity);

 private:
  std::string Identity(const std::string& id) const { return "mail.identity.id" + id; }
  std::string Server(const std::string& id) const { return "mail.server.server" + id; }
  std::string SmtpServer(const std::string& id) const { return "mail.smtpserver.smtp" + id; }
  std::string AccountsLine(const std::string& list) const;
  std::string DefaultAccountLine(long long account) const;
  PrefLines AccountLines(const PrefNumbers& n) const;
  PrefLines NewIdentityAndServerLines(const PrefNumbers& n, bool local_folders, bool socket_type) const;
  std::string SmtpLine(const std::string& id, const std::string& suffix) const;
  std::string FolderUri(bool local_folders, const std::string& folder) const;

  AccountRequest request_;
  ProviderSettings provider_;
};

}  // namespace pw
