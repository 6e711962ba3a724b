#include <gtest/gtest.h>

#include "contract/ContractBackend.h"

namespace pw {
namespace {

TEST(RegistryContract, MissingKeyIsNotFound) {
  Platform p = Backend().View();
  RegKeyPtr key;
  EXPECT_EQ(err::kFileNotFound, p.registry.OpenKey(RegRoot::kCurrentUser, Backend().ScratchKey() + "\\Nope",
                                                    RegAccess::kRead, &key));
  EXPECT_EQ(nullptr, key);
}

}  // namespace
}  // namespace pw
