#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contract/ContractBackend.h"

namespace pw {
namespace {

const RegRoot kHkcu = RegRoot::kCurrentUser;

RegKeyPtr Create(const std::string& path, RegAccess access = RegAccess::kAllAccess) {
  RegKeyPtr key;
  EXPECT_EQ(err::kSuccess, Backend().View().registry.CreateKey(kHkcu, path, access, &key)) << path;
  return key;
}

std::vector<std::string> Subkeys(RegKey& key) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; key.EnumSubkey(i, &name) == err::kSuccess; ++i) names.push_back(name);
  return names;
}

TEST(RegistryContract, OpenAndCreateWithReadOrAllAccessRights) {
  Registry& registry = Backend().View().registry;
  const std::string base = Backend().ScratchKey();

  RegKeyPtr key;
  EXPECT_EQ(err::kFileNotFound, registry.OpenKey(kHkcu, base + "\\Nope", RegAccess::kRead, &key));
  EXPECT_EQ(err::kFileNotFound, registry.OpenKey(kHkcu, base + "\\Nope\\Deeper", RegAccess::kAllAccess, &key));
  EXPECT_EQ(nullptr, key);

  // Creating makes every missing parent.
  ASSERT_EQ(err::kSuccess, registry.CreateKey(kHkcu, base + "\\A\\B\\C", RegAccess::kAllAccess, &key));
  ASSERT_NE(nullptr, key);
  EXPECT_EQ(err::kSuccess, key->SetValue("v", regtype::kDword, RegDwordBytes(7)));
  key.reset();
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\A\\B", RegAccess::kRead, &key));

  // A key opened for reading reads but refuses every change.
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\A\\B\\C", RegAccess::kRead, &key));
  RegValue value;
  EXPECT_EQ(err::kSuccess, key->QueryValue("v", &value));
  EXPECT_EQ(RegDwordBytes(7), value.data);
  EXPECT_EQ(err::kAccessDenied, key->SetValue("v", regtype::kDword, RegDwordBytes(8)));
  EXPECT_EQ(err::kAccessDenied, key->SetValue("new", regtype::kSz, std::string("x\0", 2)));
  EXPECT_EQ(err::kAccessDenied, key->DeleteValue("v"));
  EXPECT_EQ(err::kFileNotFound, key->QueryValue("new", &value));

  // Creating an existing key opens it; with read rights it is read-only too.
  ASSERT_EQ(err::kSuccess, registry.CreateKey(kHkcu, base + "\\A\\B\\C", RegAccess::kRead, &key));
  EXPECT_EQ(err::kAccessDenied, key->SetValue("v", regtype::kDword, RegDwordBytes(8)));
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\A\\B\\C", RegAccess::kAllAccess, &key));
  EXPECT_EQ(err::kSuccess, key->SetValue("v", regtype::kDword, RegDwordBytes(8)));
  EXPECT_EQ(err::kSuccess, key->QueryValue("v", &value));
  EXPECT_EQ(RegDwordBytes(8), value.data);
}

TEST(RegistryContract, EmptyPathOpensTheRootItself) {
  RegKeyPtr key;
  Create(Backend().ScratchKey());  // makes sure HKCU has "Software"
  ASSERT_EQ(err::kSuccess, Backend().View().registry.OpenKey(kHkcu, "", RegAccess::kRead, &key));
  bool software = false;
  for (const std::string& name : Subkeys(*key)) software = software || name == "Software";
  EXPECT_TRUE(software);
}

TEST(RegistryContract, KeysThatDenyRightsGiveAccessDenied) {
  Registry& registry = Backend().View().registry;
  const std::string base = Backend().ScratchKey();
  ASSERT_EQ(err::kSuccess, Create(base + "\\ReadOnly")->SetValue("kept", regtype::kDword, RegDwordBytes(1)));
  Backend().DenyWrite(base + "\\ReadOnly");
  Backend().DenyAccess(base + "\\Closed");

  // Readable, but neither opening nor creating it for writing is allowed.
  RegKeyPtr key;
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\ReadOnly", RegAccess::kRead, &key));
  RegValue value;
  EXPECT_EQ(err::kSuccess, key->QueryValue("kept", &value));
  EXPECT_EQ(RegDwordBytes(1), value.data);
  key.reset();
  EXPECT_EQ(err::kAccessDenied, registry.OpenKey(kHkcu, base + "\\ReadOnly", RegAccess::kAllAccess, &key));
  EXPECT_EQ(err::kAccessDenied, registry.CreateKey(kHkcu, base + "\\ReadOnly", RegAccess::kAllAccess, &key));
  EXPECT_EQ(nullptr, key);

  // A closed key cannot be opened at all, and it still counts as a subkey of its parent.
  EXPECT_EQ(err::kAccessDenied, registry.OpenKey(kHkcu, base + "\\Closed", RegAccess::kRead, &key));
  EXPECT_EQ(err::kAccessDenied, registry.CreateKey(kHkcu, base + "\\Closed", RegAccess::kRead, &key));
  EXPECT_EQ(nullptr, key);
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base, RegAccess::kRead, &key));
  EXPECT_EQ((std::vector<std::string>{"Closed", "ReadOnly"}), Subkeys(*key));
}

TEST(RegistryContract, EveryValueTypeKeepsItsTypeAndExactBytes) {
  RegKeyPtr key = Create(Backend().ScratchKey());
  ASSERT_NE(nullptr, key);
  const std::vector<RegValue> values = {
      {regtype::kSz, std::string("text\0", 5)},
      {regtype::kSz, "no terminator"},  // stored without its NUL, read back without it
      {regtype::kSz, std::string("", 0)},
      {regtype::kSz, std::string("caf\xc3\xa9\0", 6)},  // text is UTF-8
      {regtype::kExpandSz, std::string("%APPDATA%\\Mail\0", 16)},
      {regtype::kBinary, std::string("\x00\x01\xff\x80\x00", 5)},
      {regtype::kBinary, std::string()},
      {regtype::kDword, RegDwordBytes(0x12345678)},
      {regtype::kMultiSz, std::string("one\0two\0\0", 9)},
      {regtype::kQword, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
  };
  for (size_t i = 0; i < values.size(); ++i) {
    const std::string name = "value" + std::to_string(i);
    ASSERT_EQ(err::kSuccess, key->SetValue(name, values[i].type, values[i].data)) << name;
  }
  for (size_t i = 0; i < values.size(); ++i) {
    const std::string name = "value" + std::to_string(i);
    RegValue read;
    ASSERT_EQ(err::kSuccess, key->QueryValue(name, &read)) << name;
    EXPECT_EQ(values[i].type, read.type) << name;
    EXPECT_EQ(values[i].data, read.data) << name;
  }
}

TEST(RegistryContract, LongValuesAreReadWhole) {
  RegKeyPtr key = Create(Backend().ScratchKey());
  ASSERT_NE(nullptr, key);
  std::string text;
  for (int i = 0; text.size() < 5000; ++i) text += "line " + std::to_string(i) + "; ";
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>(i * 7);
  const std::vector<RegValue> values = {
      {regtype::kSz, text.substr(0, 100) + '\0'},  // one past a 100-byte buffer
      {regtype::kSz, text.substr(0, 300)},
      {regtype::kExpandSz, text + '\0'},
      {regtype::kBinary, binary},
      {regtype::kMultiSz, text.substr(0, 400) + '\0' + text.substr(400, 400) + '\0' + '\0'},
  };
  for (size_t i = 0; i < values.size(); ++i) {
    const std::string name = "long" + std::to_string(i);
    ASSERT_EQ(err::kSuccess, key->SetValue(name, values[i].type, values[i].data)) << name;
    RegValue read;
    ASSERT_EQ(err::kSuccess, key->QueryValue(name, &read)) << name;
    EXPECT_EQ(values[i].type, read.type) << name;
    EXPECT_EQ(values[i].data.size(), read.data.size()) << name;
    EXPECT_TRUE(values[i].data == read.data) << name;
  }
}

TEST(RegistryContract, ValuesAreSetOverwrittenAndDeletedByCaseInsensitiveName) {
  RegKeyPtr key = Create(Backend().ScratchKey());
  ASSERT_NE(nullptr, key);
  ASSERT_EQ(err::kSuccess, key->SetValue("Default Mail Account", regtype::kSz, "first"));
  ASSERT_EQ(err::kSuccess, key->SetValue("DEFAULT MAIL ACCOUNT", regtype::kBinary, "second"));
  RegValue read;
  ASSERT_EQ(err::kSuccess, key->QueryValue("default mail account", &read));
  EXPECT_EQ(regtype::kBinary, read.type);
  EXPECT_EQ("second", read.data);

  // The unnamed (default) value is a value like any other.
  ASSERT_EQ(err::kSuccess, key->SetValue("", regtype::kSz, std::string("C:\\x.exe\0", 9)));
  ASSERT_EQ(err::kSuccess, key->QueryValue("", &read));
  EXPECT_EQ(std::string("C:\\x.exe\0", 9), read.data);

  EXPECT_EQ(err::kSuccess, key->DeleteValue("Default Mail ACCOUNT"));
  EXPECT_EQ(err::kFileNotFound, key->QueryValue("Default Mail Account", &read));
  EXPECT_EQ(err::kFileNotFound, key->DeleteValue("Default Mail Account"));
  EXPECT_EQ(err::kFileNotFound, key->DeleteValue("never set"));
  EXPECT_EQ(err::kSuccess, key->QueryValue("", &read));
  // The unnamed value counts like the others.
  uint32_t values = 0;
  ASSERT_EQ(err::kSuccess, key->CountValues(&values));
  EXPECT_EQ(1u, values);
}

TEST(RegistryContract, SubkeysAreCountedAndEnumeratedInTheRegistrysOrder) {
  const std::string base = Backend().ScratchKey();
  // Created out of order, in mixed case, with prefixes of one another and
  // characters that sort differently upper-cased ('_', '[', '{' against letters).
  const std::vector<std::string> created = {"b",         "Account_2", "ab",       "A",    "AB1",  "account",
                                            "Accounts",  "{guid}",    "[x]",      "_lead", "Zeta", "00000001",
                                            "Account 2", "a~",        "Mixed.Dot"};
  for (const std::string& name : created) Create(base + "\\" + name);
  RegKeyPtr key;
  ASSERT_EQ(err::kSuccess, Backend().View().registry.OpenKey(kHkcu, base, RegAccess::kRead, &key));
  uint32_t count = 0;
  ASSERT_EQ(err::kSuccess, key->CountSubkeys(&count));
  EXPECT_EQ(created.size(), count);
  // Compared lower-cased: '[' and '_' come before the letters, '{' and '~' after them.
  EXPECT_EQ((std::vector<std::string>{"00000001", "[x]", "_lead", "A", "ab", "AB1", "account", "Account 2",
                                      "Account_2", "Accounts", "a~", "b", "Mixed.Dot", "Zeta", "{guid}"}),
            Subkeys(*key));
  std::string name = "unchanged";
  EXPECT_EQ(err::kNoMoreItems, key->EnumSubkey(count, &name));
  EXPECT_EQ(err::kNoMoreItems, key->EnumSubkey(count + 5, &name));
  EXPECT_EQ("unchanged", name);

  RegKeyPtr empty = Create(base + "\\Zeta");
  ASSERT_EQ(err::kSuccess, empty->CountSubkeys(&count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(err::kNoMoreItems, empty->EnumSubkey(0, &name));
}

TEST(RegistryContract, KeyNamesIgnoreCaseKeepTheirSpellingAndAcceptATrailingBackslash) {
  Registry& registry = Backend().View().registry;
  const std::string base = Backend().ScratchKey();
  ASSERT_EQ(err::kSuccess, Create(base + "\\Identities\\{AbC-123}\\")->SetValue("n", regtype::kDword, RegDwordBytes(1)));

  RegKeyPtr key;
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\IDENTITIES\\{abc-123}", RegAccess::kRead, &key));
  RegValue read;
  EXPECT_EQ(err::kSuccess, key->QueryValue("N", &read));
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\identities\\", RegAccess::kAllAccess, &key));
  EXPECT_EQ((std::vector<std::string>{"{AbC-123}"}), Subkeys(*key));

  // Creating it again under another spelling opens the same key and keeps the first spelling.
  ASSERT_EQ(err::kSuccess, registry.CreateKey(kHkcu, base + "\\IDENTITIES\\{ABC-123}", RegAccess::kAllAccess, &key));
  EXPECT_EQ(err::kSuccess, key->QueryValue("n", &read));
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base, RegAccess::kRead, &key));
  EXPECT_EQ((std::vector<std::string>{"Identities"}), Subkeys(*key));
}

TEST(RegistryContract, PathsLongerThan260CharactersAreOpenedAndLongNamesEnumeratedWhole) {
  Registry& registry = Backend().View().registry;
  const std::string base = Backend().ScratchKey();
  // The wide functions take paths beyond MAX_PATH; a name may have 255 characters.
  const std::string longest(255, 'k');
  const std::string shorter = std::string(200, 'j') + "end";
  RegKeyPtr key;
  Create(base + "\\" + longest + "\\" + longest);
  Create(base + "\\" + shorter);
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\" + longest + "\\" + longest + "\\", RegAccess::kRead, &key));
  EXPECT_EQ(err::kSuccess, registry.DeleteKey(kHkcu, base + "\\" + longest + "\\" + longest + "\\"));
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base, RegAccess::kRead, &key));
  EXPECT_EQ((std::vector<std::string>{shorter, longest}), Subkeys(*key));
}

}  // namespace
}  // namespace pw
