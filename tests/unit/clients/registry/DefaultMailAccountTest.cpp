// Outlook Express and Outlook 2000 find their default account by the key
// name "Default Mail Account" holds: whatever a run makes the default must be
// the name of the key it wrote, never an address that names no key.
#include <gtest/gtest.h>

#include <functional>

#include "clients/registry/OutlookAccountWriter.h"
#include "clients/registry/OutlookExpressAccountWriter.h"
#include "unit/clients/registry/RegistryTestSupport.h"

namespace pw {
namespace {

const RegRoot kHkcu = RegRoot::kCurrentUser;
const std::string kAddress = "jdoe@example.org";

struct Client {
  const char* name;
  std::string manager;
  std::function<ConfigureResult(LoggedMachine&, const AccountRequest&, const AutomaticPrefix&)> configure;
};

TEST(DefaultMailAccount, NamesTheKeyOfTheAccountWritten) {
  const Client kClients[] = {
      {"Outlook Express", "Software\\Microsoft\\Internet Account Manager",
       [](LoggedMachine& m, const AccountRequest& request, const AutomaticPrefix& prefix) {
         return OutlookExpressAccountWriter(request, prefix, m.machine.registry, m.log).Configure();
       }},
      {"Outlook 2000", "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager",
       [](LoggedMachine& m, const AccountRequest& request, const AutomaticPrefix& prefix) {
         return OutlookAccountWriter(request, prefix, m.machine.registry, m.machine.mapi, m.machine.std_out, m.log)
             .Configure();
       }},
  };
  const struct {
    const char* what;
    AutomaticPrefix prefix;
    std::string default_name;  // afterwards; every case starts with "00000001"
  } kCases[] = {
      {"found by address in a numbered key", std::nullopt, "00000002"},
      {"new account: its key is the address", std::nullopt, "new@example.org"},
      {"automatic, new: prefix + address", "QS-", "QS-new@example.org"},
      {"automatic, found: the key as the registry spells it", "qs-", "Qs-" + kAddress},
  };
  for (const Client& client : kClients) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(std::string(client.name) + ": " + c.what);
      LoggedMachine m;
      MemoryRegistry& registry = m.machine.registry;
      const std::string root = client.manager + "\\Accounts";
      registry.PutText(kHkcu, root + "\\00000001", "SMTP Email Address", "ann@example.org");
      registry.PutText(kHkcu, root + "\\00000002", "SMTP Email Address", kAddress);
      registry.PutText(kHkcu, root + "\\Qs-" + kAddress, "SMTP Email Address", kAddress);
      registry.PutText(kHkcu, client.manager, "Default Mail Account", "00000001");
      const std::string address = c.default_name.find("new@") == std::string::npos ? kAddress : "new@example.org";

      ASSERT_EQ(0, client.configure(m, AccountRequest{address, "Jo Doe", true, true}, c.prefix));

      RegValue value;
      ASSERT_TRUE(registry.Get(kHkcu, client.manager, "Default Mail Account", &value));
      EXPECT_EQ(c.default_name, value.data);
      EXPECT_TRUE(registry.HasKey(kHkcu, root + "\\" + value.data));
      // Exactly one more key for a new account, none for a found one.
      uint32_t count = 0;
      RegKeyPtr key;
      ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, root, RegAccess::kRead, &key));
      ASSERT_EQ(err::kSuccess, key->CountSubkeys(&count));
      EXPECT_EQ(c.default_name.find("new@") == std::string::npos ? 3u : 4u, count);
    }
  }
}

}  // namespace
}  // namespace pw
