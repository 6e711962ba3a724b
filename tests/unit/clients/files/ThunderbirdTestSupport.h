// What the Thunderbird unit tests share: the provider they configure, the
// requests, and the prefs.js texts of thunderbird/PrefsFixtures.h.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "app/ProviderSettings.h"
#include "clients/AccountRequest.h"
#include "thunderbird/PrefsFixtures.h"

namespace pw {

constexpr ProviderSettings kTestProvider{
    "pop.quillset.example", 995, true, "smtp.quillset.example", 465, true, true, "@quillset.example",
};

inline AccountRequest TbRequest(bool make_default, bool overwrite,
                                const std::string& address = "jdoe@quillset.example") {
  return AccountRequest{address, "Jo Doe", make_default, overwrite};
}

// Keeps a prefs.js that a test produced in the folder POSTWRIGHT_PREFS_DIR
// names (when set), where tests/thunderbird/eval-unit-prefs.sh evaluates every
// one as JavaScript. Returns the bytes.
inline std::string KeepPrefs(const std::string& bytes) {
  const char* folder = std::getenv("POSTWRIGHT_PREFS_DIR");
  if (!folder || !*folder) return bytes;
  static int kept = 0;
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = std::string(folder) + "/" + test->test_suite_name() + "." + test->name() + "." +
                           std::to_string(++kept) + ".js";
  std::ofstream(name, std::ios::binary) << bytes;
  return bytes;
}

}  // namespace pw
