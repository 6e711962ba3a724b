#include "clients/MailClients.h"

#include "clients/files/EudoraAccountLookup.h"
#include "clients/files/EudoraAccountWriter.h"
#include "clients/files/ThunderbirdAccountLookup.h"
#include "clients/files/ThunderbirdAccountWriter.h"
#include "clients/files/WindowsMailAccountLookup.h"
#include "clients/files/WindowsMailAccountWriter.h"
#include "clients/registry/OutlookAccountLookup.h"
#include "clients/registry/OutlookAccountWriter.h"
#include "clients/registry/OutlookExpressAccountLookup.h"
#include "clients/registry/OutlookExpressAccountWriter.h"
#include "clients/registry/OutlookProfileAccountLookup.h"
#include "clients/registry/OutlookProfileAccountWriter.h"
#include "clients/registry/RegistryListing.h"

namespace pw {

namespace {

const char kUnable[] = "ERROR: Unable to automatically configure";
const char kAlreadyFound[] = "ERROR: Account was already found, no changes have been made.";
const char kIdentical[] =
    "ERROR: Identical Automatically Created Account was already found, no changes have been made.";

std::unique_ptr<AccountWriter> OutlookExpressWriter(const AccountRequest& request, const AutomaticPrefix& prefix,
                                                    const WriterContext& c) {
  return std::make_unique<OutlookExpressAccountWriter>(request, prefix, c.platform.registry, c.log);
}

std::unique_ptr<AccountLookup> OutlookExpressLookup(const WriterContext& c) {
  return std::make_unique<OutlookExpressAccountLookup>(c.platform.registry, c.log);
}

// Outlook 2002 (version 10) and later keep their accounts in the MAPI
// profile; Outlook 2000, and an Outlook whose version is unknown, in the OMI
// Account Manager's keys.
bool KeepsAccountsInProfile(const WriterContext& c) { return c.outlook_version > 9; }

std::unique_ptr<AccountWriter> OutlookWriter(const AccountRequest& request, const AutomaticPrefix& prefix,
                                             const WriterContext& c) {
  const Platform& p = c.platform;
  if (KeepsAccountsInProfile(c))
    return std::make_unique<OutlookProfileAccountWriter>(request, prefix, c.outlook_version, p.registry, c.log);
  return std::make_unique<OutlookAccountWriter>(request, prefix, p.registry, p.mapi, p.std_out, c.log);
}

std::unique_ptr<AccountLookup> OutlookLookup(const WriterContext& c) {
  if (KeepsAccountsInProfile(c))
    return std::make_unique<OutlookProfileAccountLookup>(c.outlook_version, c.platform.registry);
  return std::make_unique<OutlookAccountLookup>(c.platform.registry, c.log);
}

// A broken or missing mail profile: the log lists the profiles for whoever
// reads it.
bool ListOutlookProfilesAfter(ConfigureResult result, const WriterContext& c) {
  if (result != result::kProfileUnreadable && result != result::kNotRunYet) return false;
  c.log.Line("Relevant Registry Structure:");
  ListOutlookProfiles(c.platform.registry, c.outlook_version, c.log);
  return true;
}

std::unique_ptr<AccountWriter> WindowsMailWriter(const AccountRequest& request, const AutomaticPrefix&,
                                                 const WriterContext& c) {
  const Platform& p = c.platform;
  return std::make_unique<WindowsMailAccountWriter>(request, p.registry, p.files, p.environment, p.clock, p.uuids,
                                                    c.log);
}

std::unique_ptr<AccountLookup> WindowsMailLookup(const WriterContext& c) {
  const Platform& p = c.platform;
  return std::make_unique<WindowsMailAccountLookup>(p.registry, p.files, p.environment);
}

std::unique_ptr<AccountWriter> EudoraWriter(const AccountRequest& request, const AutomaticPrefix&,
                                            const WriterContext& c) {
  const Platform& p = c.platform;
  return std::make_unique<EudoraAccountWriter>(request, MailClientOf(ClientKind::kEudora).marks.program, p.registry,
                                               p.files, p.environment, p.clock, c.log);
}

std::unique_ptr<AccountLookup> EudoraLookup(const WriterContext& c) {
  const Platform& p = c.platform;
  return std::make_unique<EudoraAccountLookup>(p.registry, p.files, p.environment,
                                               MailClientOf(ClientKind::kEudora).marks.program);
}

std::unique_ptr<AccountWriter> ThunderbirdWriter(const AccountRequest& request, const AutomaticPrefix&,
                                                 const WriterContext& c) {
  const Platform& p = c.platform;
  return std::make_unique<ThunderbirdAccountWriter>(request, MailClientOf(ClientKind::kThunderbird).marks.program,
                                                    p.registry, p.files, p.environment, p.clock, c.log);
}

std::unique_ptr<AccountLookup> ThunderbirdLookup(const WriterContext& c) {
  const Platform& p = c.platform;
  return std::make_unique<ThunderbirdAccountLookup>(p.registry, p.files, p.environment);
}

}  // namespace

const std::vector<MailClient>& MailClients() {
  // The mail-link texts are checked in this order: "msimn" wins over
  // "outlook.exe" over "winmail" over "eudora" over "thunde".
  static const std::vector<MailClient> kClients = {
      {{ClientKind::kOutlookExpress, "Outlook Express", "msimn.exe", "msimn"},
       "Microsoft Outlook Express", "Microsoft Outlook Express", 2, false, true, false,
       OutlookExpressWriter, OutlookExpressLookup,
       {{result::kUnableToConfigure, kUnable},
        {result::kAlreadyExists, kAlreadyFound},
        {result::kIdenticalAutomatic, kIdentical}},
       nullptr},
      {{ClientKind::kOutlook, "Microsoft Outlook", "OUTLOOK.EXE", "outlook.exe"},
       "Microsoft Outlook", "Microsoft Outlook", 4, true, true, false,
       OutlookWriter, OutlookLookup,
       {{result::kUnableToConfigure, kUnable},
        {result::kProfileUnreadable, kUnable},
        {result::kNotRunYet,
         "ERROR: Outlook has not been run for the first time. Please run and close Outlook and try again."},
        {result::kNoDefaultProfile,
         "ERROR: No default e-mail profile found. Please run Outlook and select a Default Profile when prompted "
         "during startup."},
        {result::kAlreadyExists, kAlreadyFound},
        {result::kIdenticalAutomatic, kIdentical}},
       ListOutlookProfilesAfter},
      {{ClientKind::kWindowsMail, "Windows Mail", "WinMail.exe", "winmail"},
       "Microsoft Windows Mail", "Microsoft Windows Mail", 3, false, true, true,
       WindowsMailWriter, WindowsMailLookup,
       {{result::kNotRunYet,
         "ERROR: Windows Mail has not been run for the first time. Please run and close Windows Mail and try "
         "again."},
        {result::kAlreadyExists, kAlreadyFound}},
       nullptr},
      {{ClientKind::kEudora, "Eudora", "Eudora.exe", "eudora"},
       "Qualcomm Eudora", "Qualcomm Eudora 5 and up", 1, false, false, true,
       EudoraWriter, EudoraLookup,
       {{result::kUnableToConfigure,
         "ERROR: Eudora has not been run for the first time or Eudora is not set to store data in the default "
         "location."},
        {result::kAlreadyExists, kAlreadyFound},
        {result::kNotInCodePage,
         "ERROR: Eudora reads its settings in the system's code page, which cannot hold the name given. No changes "
         "have been made."}},
       nullptr},
      {{ClientKind::kThunderbird, "Mozilla Thunderbird", "thunderbird.exe", "thunde"},
       "Mozilla Thunderbird", "Mozilla Thunderbird", 0, false, true, true,
       ThunderbirdWriter, ThunderbirdLookup,
       {{result::kAlreadyExists, kAlreadyFound}},
       nullptr},
  };
  return kClients;
}

const MailClient& MailClientOf(ClientKind kind) { return MailClients()[ClientNumber(kind)]; }

std::vector<ClientMarks> MailClientMarks() {
  std::vector<ClientMarks> marks;
  for (const MailClient& client : MailClients()) marks.push_back(client.marks);
  return marks;
}

}  // namespace pw
