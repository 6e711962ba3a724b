#include "clients/registry/RegistryUndo.h"

#include <gtest/gtest.h>

#include "platform/memory/MemoryRegistry.h"
#include "unit/clients/registry/RegistryTestSupport.h"

namespace pw {
namespace {

const RegRoot kHkcu = RegRoot::kCurrentUser;

TEST(RegistryUndo, RemovesEveryKeyItMadeAndRestoresValuesByTypeAndBytes) {
  MemoryRegistry registry;
  registry.Put(kHkcu, "A", "Port", regtype::kDword, RegDwordBytes(110));
  registry.PutText(kHkcu, "A", "Other", "stays");
  const std::string before = DumpRegistry(registry, kHkcu, "A");

  RegistryUndo undo(registry);
  undo.RememberKey(kHkcu, "A\\B\\C\\");
  ASSERT_EQ(err::kSuccess, undo.RememberValues(kHkcu, "A\\B\\C\\", {"X"}));
  ASSERT_EQ(err::kSuccess, undo.RememberValues(kHkcu, "A", {"Port", "New"}));

  RegKeyPtr key;
  ASSERT_EQ(err::kSuccess, registry.CreateKey(kHkcu, "A\\B\\C", RegAccess::kAllAccess, &key));
  ASSERT_EQ(err::kSuccess, key->SetValue("X", regtype::kSz, "x"));
  key.reset();
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, "A", RegAccess::kAllAccess, &key));
  ASSERT_EQ(err::kSuccess, key->SetValue("Port", regtype::kSz, "995"));
  ASSERT_EQ(err::kSuccess, key->SetValue("New", regtype::kSz, "new"));
  key.reset();

  EXPECT_EQ(err::kSuccess, undo.Undo());
  EXPECT_EQ(before, DumpRegistry(registry, kHkcu, "A"));
}

TEST(RegistryUndo, ValuesThatCannotBeReadStopTheWriteBeforeItStarts) {
  MemoryRegistry registry;
  registry.PutText(kHkcu, "A", "V", "v");
  registry.DenyAccess(kHkcu, "A");
  RegistryUndo undo(registry);
  EXPECT_EQ(err::kAccessDenied, undo.RememberValues(kHkcu, "A", {"V"}));
  // A missing key is no obstacle: its values simply did not exist.
  EXPECT_EQ(err::kSuccess, undo.RememberValues(kHkcu, "B", {"V"}));
}

TEST(RegistryUndo, UnchangedValuesNeedNoRights) {
  MemoryRegistry registry;
  registry.PutText(kHkcu, "A", "V", "v");
  registry.DenyWrite(kHkcu, "A");
  RegistryUndo undo(registry);
  ASSERT_EQ(err::kSuccess, undo.RememberValues(kHkcu, "A", {"V", "W"}));
  EXPECT_EQ(err::kSuccess, undo.Undo());
}

}  // namespace
}  // namespace pw
