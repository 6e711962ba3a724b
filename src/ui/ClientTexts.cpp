#include "ui/ClientTexts.h"

namespace pw {

namespace {

const char* const kNames[kClientCount] = {
    "Microsoft Outlook Express", "Microsoft Outlook", "Microsoft Windows Mail", "Qualcomm Eudora",
    "Mozilla Thunderbird",
};

const char* const kPrograms[kClientCount] = {"msimn.exe", "OUTLOOK.EXE", "WinMail.exe", "Eudora.exe",
                                             "thunderbird.exe"};

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
    {client::kOutlookExpress, 1, kUnable},
    {client::kOutlookExpress, 5, kAlreadyFound},
    {client::kOutlookExpress, 6, kIdentical},
    {client::kOutlook, 1, kUnable},
    {client::kOutlook, 2, kUnable},
    {client::kOutlook, 3,
     "ERROR: Outlook has not been run for the first time. Please run and close Outlook and try again."},
    {client::kOutlook, 4,
     "ERROR: No default e-mail profile found. Please run Outlook and select a Default Profile when prompted during "
     "startup."},
    {client::kOutlook, 5, kAlreadyFound},
    {client::kOutlook, 6, kIdentical},
    {client::kWindowsMail, 3,
     "ERROR: Windows Mail has not been run for the first time. Please run and close Windows Mail and try again."},
    {client::kWindowsMail, 5, kAlreadyFound},
    {client::kEudora, 1,
     "ERROR: Eudora has not been run for the first time or Eudora is not set to store data in the default "
     "location."},
    {client::kEudora, 5, kAlreadyFound},
    {client::kThunderbird, 5, kAlreadyFound},
};

}  // namespace

bool IsClientKind(int kind) { return kind >= 0 && kind < kClientCount; }

std::string ClientName(ClientKind kind) { return IsClientKind(kind) ? kNames[kind] : ""; }

std::string SuccessText(ClientKind kind) {
  return IsClientKind(kind) ? "Congratulations! " + ClientName(kind) +
                                  " has been successfully configured for your mail settings."
                            : "";
}

std::string ErrorText(ClientKind kind, ConfigureResult result) {
  if (IsClientKind(kind) && result == result::kSaveFailed)
    return "ERROR: Unable to save the e-mail settings, no changes have been made.";
  for (const ErrorRow& row : kErrors)
    if (row.kind == kind && row.result == result) return row.text;
  return "";
}

std::string AppPathsKey(ClientKind kind) {
  if (!IsClientKind(kind)) return "";
  return std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + kPrograms[kind] + "\\";
}

}  // namespace pw
