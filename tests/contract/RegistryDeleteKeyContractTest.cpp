#include <gtest/gtest.h>

#include "contract/ContractBackend.h"

namespace pw {
namespace {

TEST(RegistryContract, DeleteKeyRemovesALeafKeyWithItsValues) {
  Platform p = Backend().View();
  const std::string base = Backend().ScratchKey();
  RegKeyPtr key;
  ASSERT_EQ(err::kSuccess, p.registry.CreateKey(RegRoot::kCurrentUser, base + "\\Leaf", RegAccess::kAllAccess, &key));
  ASSERT_EQ(err::kSuccess, key->SetValue("V", regtype::kSz, "v"));
  key.reset();

  // A trailing backslash and another letter case name the same key.
  EXPECT_EQ(err::kSuccess, p.registry.DeleteKey(RegRoot::kCurrentUser, base + "\\LEAF\\"));
  EXPECT_EQ(err::kFileNotFound, p.registry.OpenKey(RegRoot::kCurrentUser, base + "\\Leaf", RegAccess::kRead, &key));
  EXPECT_EQ(err::kFileNotFound, p.registry.DeleteKey(RegRoot::kCurrentUser, base + "\\Leaf"));
  EXPECT_EQ(err::kFileNotFound, p.registry.DeleteKey(RegRoot::kCurrentUser, base + "\\Nope\\Leaf"));
}

TEST(RegistryContract, DeleteKeyRefusesAKeyWithSubkeys) {
  Platform p = Backend().View();
  const std::string base = Backend().ScratchKey();
  RegKeyPtr key;
  ASSERT_EQ(err::kSuccess,
            p.registry.CreateKey(RegRoot::kCurrentUser, base + "\\Parent\\Child", RegAccess::kAllAccess, &key));
  key.reset();
  EXPECT_EQ(err::kAccessDenied, p.registry.DeleteKey(RegRoot::kCurrentUser, base + "\\Parent"));
  EXPECT_EQ(err::kSuccess, p.registry.OpenKey(RegRoot::kCurrentUser, base + "\\Parent\\Child", RegAccess::kRead, &key));
}

TEST(RegistryContract, KeyDeletedWhileOpenReportsItself) {
  Platform p = Backend().View();
  const std::string base = Backend().ScratchKey();
  RegKeyPtr key;
  ASSERT_EQ(err::kSuccess, p.registry.CreateKey(RegRoot::kCurrentUser, base + "\\Gone", RegAccess::kAllAccess, &key));
  ASSERT_EQ(err::kSuccess, p.registry.DeleteKey(RegRoot::kCurrentUser, base + "\\Gone"));
  EXPECT_EQ(err::kKeyDeleted, key->SetValue("V", regtype::kSz, "v"));
  RegValue value;
  EXPECT_EQ(err::kKeyDeleted, key->QueryValue("V", &value));
}

}  // namespace
}  // namespace pw
