// Account values of any type and bytes, read by the account lookups and the
// writers of Outlook Express and Outlook 2002 and later. The first byte chooses the
// value's type, the rest are its bytes.
#include "FuzzMachine.h"

#include "clients/MailClients.h"

namespace {
const std::string kOeAccount = "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001";
const std::string kStore =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles\\Main\\"
    "9375CFF0413111d3B88A00104B2A6676";

void Look(pw::fuzz::Machine& m, pw::ClientKind kind, int version) {
  pw::Platform view = m.machine.View();
  pw::MailClientWriters writers;
  const std::unique_ptr<pw::AccountLookup> lookup = writers.MakeLookup(kind, pw::WriterContext{view, m.log, version});
  for (const std::optional<std::string>& key : {lookup->GetDefAcct(), lookup->FindAcctByText("quillset")}) {
    for (const std::optional<std::string>& text : {lookup->GetAcctAddr(key), lookup->GetAcctDisplayName(key)}) {
      // A text that goes on into key names and settings lines holds no NUL.
      if (text) pw::fuzz::Require(text->find('\0') == std::string::npos, "a looked-up text holds no NUL");
    }
  }
}
// The writer adds jdoe's account beside the planted one (or refuses); the
// planted account's values stay as they were, whatever they hold.
void WriteBeside(pw::fuzz::Machine& m, pw::ClientKind kind, int version, const std::string& account,
                 const std::vector<const char*>& names, uint32_t type, const std::string& bytes) {
  m.Configure(kind, false, version);
  for (const char* name : names) {
    pw::RegValue value;
    pw::fuzz::Require(m.machine.registry.Get(pw::RegRoot::kCurrentUser, account, name, &value) &&
                          value.type == type && value.data == bytes,
                      "another account's values stay as they were");
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint32_t type = data[0] % 12;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  pw::fuzz::Machine oe;
  oe.machine.registry.Put(pw::RegRoot::kCurrentUser, "Software\\Microsoft\\Internet Account Manager",
                          "Default Mail Account", type, bytes);
  for (const char* name : {"SMTP Email Address", "SMTP Display Name", "Account Name"})
    oe.machine.registry.Put(pw::RegRoot::kCurrentUser, kOeAccount, name, type, bytes);
  Look(oe, pw::ClientKind::kOutlookExpress, -1);
  WriteBeside(oe, pw::ClientKind::kOutlookExpress, -1, kOeAccount,
              {"SMTP Email Address", "SMTP Display Name", "Account Name"}, type, bytes);

  pw::fuzz::Machine outlook;
  outlook.machine.registry.PutText(pw::RegRoot::kCurrentUser,
                                   "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
                                   "Subsystem\\Profiles",
                                   "DefaultProfile", "Main");
  outlook.machine.registry.Put(pw::RegRoot::kCurrentUser, kStore, "{ED475418-B0D6-11D2-8C3B-00104B2A6676}", type,
                               bytes);
  for (const char* name : {"Email", "Display Name", "Account Name"})
    outlook.machine.registry.Put(pw::RegRoot::kCurrentUser, kStore + "\\00000001", name, type, bytes);
  Look(outlook, pw::ClientKind::kOutlook, 11);
  WriteBeside(outlook, pw::ClientKind::kOutlook, 11, kStore + "\\00000001", {"Email", "Display Name", "Account Name"},
              type, bytes);
  return 0;
}
