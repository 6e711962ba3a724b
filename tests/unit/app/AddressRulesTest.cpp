#include "app/AddressRules.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

// The provider's own account: at its mail domain, or served by its domain's
// hosts; never a host that merely begins or ends with the same letters.
TEST(AddressRules, AnAccountIsTheProvidersByItsDomainOrItsServer) {
  const struct {
    const char* address;
    std::optional<std::string> host;
    bool providers;
  } kCases[] = {
      {"jo@quillset.example", std::nullopt, true},
      {"JO@QuillSet.Example", std::string("pop.gmail.test"), true},
      {"jo@sub.quillset.example", std::nullopt, false},
      {"jo@notquillset.example", std::nullopt, false},
      {"jo@vanity.test", std::string("quillset.example"), true},
      {"jo@vanity.test", std::string("POP.QUILLSET.EXAMPLE"), true},
      {"jo@vanity.test", std::string("mail.eu.quillset.example"), true},
      {"jo@vanity.test", std::string("xquillset.example"), false},
      {"jo@vanity.test", std::string("quillset.example.evil.test"), false},
      {"jo@vanity.test", std::string(""), false},
      {"quillset.example", std::nullopt, false},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.providers, IsProvidersAccount(c.address, c.host, kProvider)) << c.address << " " << c.host.value_or("-");
}

}  // namespace
}  // namespace pw
