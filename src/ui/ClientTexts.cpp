#include "ui/ClientTexts.h"

#include "ui/MailClients.h"

namespace pw {

namespace {

const char kUnable[] = "ERROR: Unable to automatically configure";
const char kAlreadyFound[] = "ERROR: Account was already found, no changes have been made.";
const char kIdentical[] =
    "ERROR: Identical Automatically Created Account was already found, no changes have been made.";

struct ErrorRow {
  ClientKind kind;
  ConfigureResult result;
  const char* text;
};

const ErrorRow kErrors[] = {
    {ClientKind::kOutlookExpress, result::kUnableToConfigure, kUnable},
    {ClientKind::kOutlookExpress, result::kAlreadyExists, kAlreadyFound},
    {ClientKind::kOutlookExpress, result::kIdenticalAutomatic, kIdentical},
    {ClientKind::kOutlook, result::kUnableToConfigure, kUnable},
    {ClientKind::kOutlook, result::kProfileUnreadable, kUnable},
    {ClientKind::kOutlook, result::kNotRunYet,
     "ERROR: Outlook has not been run for the first time. Please run and close Outlook and try again."},
    {ClientKind::kOutlook, result::kNoDefaultProfile,
     "ERROR: No default e-mail profile found. Please run Outlook and select a Default Profile when prompted during "
     "startup."},
    {ClientKind::kOutlook, result::kAlreadyExists, kAlreadyFound},
    {ClientKind::kOutlook, result::kIdenticalAutomatic, kIdentical},
    {ClientKind::kWindowsMail, result::kNotRunYet,
     "ERROR: Windows Mail has not been run for the first time. Please run and close Windows Mail and try again."},
    {ClientKind::kWindowsMail, result::kAlreadyExists, kAlreadyFound},
    {ClientKind::kEudora, result::kUnableToConfigure,
     "ERROR: Eudora has not been run for the first time or Eudora is not set to store data in the default "
     "location."},
    {ClientKind::kEudora, result::kAlreadyExists, kAlreadyFound},
    {ClientKind::kEudora, result::kNotInCodePage,
     "ERROR: Eudora reads its settings in the system's code page, which cannot hold the name given. No changes "
     "have been made."},
    {ClientKind::kThunderbird, result::kAlreadyExists, kAlreadyFound},
};

}  // namespace

std::string ClientName(ClientKind kind) { return MailClientOf(kind).name; }

std::string SuccessText(ClientKind kind) {
  return "Congratulations! " + ClientName(kind) + " has been successfully configured for your mail settings.";
}

std::string ErrorText(ClientKind kind, ConfigureResult result) {
  if (result == result::kSaveFailed) return "ERROR: Unable to save the e-mail settings, no changes have been made.";
  for (const ErrorRow& row : kErrors)
    if (row.kind == kind && row.result == result) return row.text;
  return "";
}

std::string UnknownClientText(int number) {
  std::string known;
  for (const MailClient& client : MailClients()) {
    const int n = ClientNumber(client.marks.kind);
    known += (n == 0 ? " " : n + 1 == kClientCount ? " or " : ", ") + std::to_string(n) + " (" + client.name + ")";
  }
  return "ERROR: There is no mail client number " + std::to_string(number) + "; the numbers are" + known + ".";
}

}  // namespace pw
