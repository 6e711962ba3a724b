// Outlook 2000 in Corporate/Workgroup mode through the real MAPI path: the
// program loads the stand-in mapi32.dll from the system folder, and the
// stand-in records every call, its flags, each release and when it was
// unloaded. Also: a mapi32.dll planted beside Postwright.exe is never loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

#include "OutlookWineSupport.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using namespace std::string_literals;
using namespace outlook;

constexpr char kAddress[] = "jdoe@quillset.example";
const std::string kSetup = "Software\\Microsoft\\Office\\9.0\\Outlook\\Setup";
const std::string kProfile = kProfiles + "\\Outlook";
// Sections the profile had before: another account's Internet E-Mail service
// (its table row) and its entry.
const std::string kOldService = "9a0d020000000000c000000000000046";
const std::string kOldEntry = "0a0d020000000000c000000000000046";
const std::string kOldUid = "\x9a\x0d\x02\0\0\0\0\0\xc0\0\0\0\0\0\0\x46"s;
const char kSystemMapi[] = "C:\\windows\\system32\\mapi32.dll";
const char kWineOverrides[] = "Software\\Wine\\DllOverrides";

void SetVariable(const char* name, const std::string& value) {
  SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
}

class MapiWineTest : public WineTest {
 protected:
  void SetUp() override {
    WineTest::SetUp();
    RegisterOutlook(9);
    bed::SeedDword(HKEY_CURRENT_USER, kSetup, "MailSupport", 1);
    bed::SeedText(HKEY_CURRENT_USER, kProfiles, "DefaultProfile", "Outlook");
    bed::SeedValue(HKEY_CURRENT_USER, kProfile + "\\" + kOldEntry, "001e3d0b", REG_BINARY,
                   bed::WithNul("MailServiceEntry"));
    bed::SeedValue(HKEY_CURRENT_USER, kProfile + "\\" + kOldEntry, "01023d0c", REG_BINARY, kOldUid);
    bed::SeedValue(HKEY_CURRENT_USER, kProfile + "\\" + kOldService, "001e3d09", REG_BINARY, bed::WithNul("IMAIL"));
    bed::SeedValue(HKEY_CURRENT_USER, kProfile + "\\" + kOldService, "01023d0c", REG_BINARY, kOldUid);
    record_ = bed::ScratchFolder() + "\\mapi-calls.txt";
    SetVariable("MAPI_STANDIN_RECORD", record_);
    // Wine's own mapi32 comes first unless told otherwise; the program's
    // process reads this when it starts.
    bed::SeedText(HKEY_CURRENT_USER, kWineOverrides, "mapi32", "native,builtin");
  }
  void TearDown() override {
    SetVariable("MAPI_STANDIN_RECORD", "");
    SetVariable("MAPI_STANDIN_FAIL", "");
    HKEY overrides = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kWineOverrides, 0, KEY_SET_VALUE, &overrides) == ERROR_SUCCESS) {
      RegDeleteValueA(overrides, "mapi32");
      RegCloseKey(overrides);
    }
    if (!wine_mapi_.empty()) {
      EXPECT_TRUE(CopyFileA(wine_mapi_.c_str(), kSystemMapi, FALSE));
    }
    bed::RemovePath(bed::ProgramFolder() + "\\mapi32.dll");
    WineTest::TearDown();
  }

  std::string StandIn() const { return bed::ProgramFolder() + "\\standin\\mapi32.dll"; }

  // The stand-in in the system folder, Wine's own kept aside to be put back.
  void InstallStandIn() {
    wine_mapi_ = bed::ProgramFolder() + "\\standin\\wine-mapi32.dll";
    ASSERT_TRUE(CopyFileA(kSystemMapi, wine_mapi_.c_str(), FALSE)) << GetLastError();
    ASSERT_TRUE(CopyFileA(StandIn().c_str(), kSystemMapi, FALSE)) << GetLastError();
  }

  Lines Calls() {
    const std::optional<std::string> bytes = bed::ReadBytes(record_);
    return bytes ? bed::SplitLines(*bytes) : Lines{};
  }

  // The profile's sections that were not there before.
  Lines NewSections() {
    Lines sections = bed::Subkeys(HKEY_CURRENT_USER, kProfile);
    sections.erase(std::remove(sections.begin(), sections.end(), kOldEntry), sections.end());
    sections.erase(std::remove(sections.begin(), sections.end(), kOldService), sections.end());
    return sections;
  }

  std::string record_;
  std::string wine_mapi_;
};

const Lines kOpen = {
    "MAPIInitialize(null)",
    "MAPIAdminProfiles(0x0)",
    "MAPILogonEx(0x0, \"Outlook\", null, 0x8022)",
    "IProfAdmin::AdminServices(\"Outlook\", null, 0x0, 0x0)",
};
// The profile's services read from its table; the stand-in hands every row
// out in the first batch.
const Lines kListing = {
    "IMsgServiceAdmin::GetMsgServiceTable(0x0)",
    "IMAPITable::SetColumns(0x3d0c0102, 0x0)",
    "IMAPITable::QueryRows(32, 0x0)",
    "IMAPITable::QueryRows(32, 0x0)",  // no more
    "IMAPITable released",
};
const std::string kCreate = "IMsgServiceAdmin::CreateMsgService(\"IMAIL\", \""s + kAddress + "\", 0x0, 0x0)";
const Lines kDelete = {"IMsgServiceAdmin::DeleteMsgService(the new service)"};
// What was handed out goes in the reverse order it came.
const Lines kClose = {
    "IMsgServiceAdmin released", "IMAPISession::Logoff(0x0, 0x0, 0x0)", "IMAPISession released",
    "IProfAdmin released",       "MAPIUninitialize()",
};
const Lines kUnloaded = {"unloaded at process end"};

Lines Joined(std::initializer_list<Lines> parts) {
  Lines joined;
  for (const Lines& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

// The writer reads the services for the other account's; the run's backup
// reads them again around the creation, to know which service MAPI made.
const Lines kCalls = Joined({kOpen, kListing, kListing, {kCreate}, kListing, kClose, kUnloaded});

TEST_F(MapiWineTest, NewAccountGetsItsServiceNamedAfterIt) {
  InstallStandIn();
  const bed::RunResult run = bed::RunPostwright("-n \"Jo Doe\" -c 1 -a jdoe");

  EXPECT_EQ(0u, run.exit_code) << run.err;
  EXPECT_EQ("", run.out);
  EXPECT_EQ(kCalls, Calls());
  // The service's own section and its mail entry; only the entry is named.
  const Lines sections = NewSections();
  ASSERT_EQ(2u, sections.size());
  int named = 0;
  for (const std::string& section : sections) {
    const std::string key = kProfile + "\\" + section;
    const std::optional<bed::Value> entry = bed::ReadValue(HKEY_CURRENT_USER, key, "001e3d0b");
    if (!entry) {
      EXPECT_EQ((bed::Value{REG_BINARY, "IMAIL"s + '\0'}), bed::ReadValue(HKEY_CURRENT_USER, key, "001e3d09"));
      EXPECT_EQ((bed::Value{REG_BINARY, kAddress + "\0"s}), bed::ReadValue(HKEY_CURRENT_USER, key, "001e3001"));
      continue;
    }
    ++named;
    EXPECT_EQ((bed::Value{REG_SZ, "Internet E-Mail - "s + kAddress}),
              bed::ReadValue(HKEY_CURRENT_USER, key, "001e3001"));
    EXPECT_EQ((bed::Value{REG_SZ, kAddress}), bed::ReadValue(HKEY_CURRENT_USER, key, "001e661f"));
  }
  EXPECT_EQ(1, named);
  EXPECT_EQ((Lines{"001e3d0b", "01023d0c"}), bed::ValueNames(HKEY_CURRENT_USER, kProfile + "\\" + kOldEntry));
}

// Each step failing in turn: its line on standard output and in the log, the
// account taken back, the profile as it was, and whatever MAPI handed out
// released once before MAPI is uninitialised. A new service whose entry
// cannot be named (the stand-in makes it readable only) is deleted through
// MAPI, which is told the service the table did not list before.
TEST_F(MapiWineTest, EachFailingStepTakesTheAccountBack) {
  InstallStandIn();
  const struct {
    const char* request;
    const char* line;
    Lines calls;
  } kCases[] = {
      {"MAPIInitialize=80040605", "Error initializing MAPI. hRes = 0x80040605", Joined({{kOpen[0]}, kUnloaded})},
      {"MAPIAdminProfiles=80004005", "Error getting IProfAdmin interface. hRes = 0x80004005",
       Joined({{kOpen[0], kOpen[1]}, {"MAPIUninitialize()"}, kUnloaded})},
      {"MAPILogonEx=80040111", "Error logging on. hRes = 0x80040111",
       Joined({{kOpen[0], kOpen[1], kOpen[2]}, {"IProfAdmin released", "MAPIUninitialize()"}, kUnloaded})},
      {"IProfAdmin::AdminServices=8004010f", "Error getting IMsgServiceAdmin interface. hRes = 0x8004010f",
       Joined({kOpen, Lines(kClose.begin() + 1, kClose.end()), kUnloaded})},
      {"IMsgServiceAdmin::GetMsgServiceTable=80040102", "Error getting the message service table. hRes = 0x80040102",
       Joined({kOpen, {kListing[0]}, kClose, kUnloaded})},
      {"IMsgServiceAdmin::CreateMsgService=80040102", "Error creating Exchange message service. hRes = 0x80040102",
       Joined({kOpen, kListing, kListing, {kCreate}, kClose, kUnloaded})},
      // The take-back asks the table which service is new, and deletes it.
      {"MailServiceEntry=5", "Error naming the new message service. hRes = 0x80070005",
       Joined({kOpen, kListing, kListing, {kCreate}, kListing, kListing, kDelete, kClose, kUnloaded})},
  };
  for (const auto& c : kCases) {
    bed::RemovePath(record_);
    SetVariable("MAPI_STANDIN_FAIL", c.request);
    Lines log;
    const bed::RunResult run = RunAndReadLog("-n \"Jo Doe\" -c 1 -a jdoe", "Outlook is in Corporate/Workgroup Mode. "
                                                                         "Creating MAPI Internet Mail Profile...",
                                             &log);

    EXPECT_EQ(1u, run.exit_code) << c.request;
    EXPECT_EQ(c.line + "\n"s, run.out);
    ASSERT_LE(3u, log.size()) << c.request;
    EXPECT_EQ((Lines{c.line, "The previous settings were restored."}), Lines(log.begin() + 1, log.begin() + 3));
    EXPECT_EQ(Lines{"9.0"}, bed::Subkeys(HKEY_CURRENT_USER, "Software\\Microsoft\\Office")) << c.request;
    EXPECT_EQ((Lines{kOldEntry, kOldService}), bed::Subkeys(HKEY_CURRENT_USER, kProfile)) << c.request;

    EXPECT_EQ(c.calls, Calls()) << c.request;
  }
}

// A mapi32.dll beside the program is never the one loaded: the program asks
// the system folder, where Wine's own answers.
TEST_F(MapiWineTest, DllBesideTheProgramIsNeverLoaded) {
  ASSERT_TRUE(CopyFileA(StandIn().c_str(), (bed::ProgramFolder() + "\\mapi32.dll").c_str(), FALSE));
  const bed::RunResult run = bed::RunPostwright("-n \"Jo Doe\" -c 1 -a jdoe");

  EXPECT_EQ(Lines{}, Calls());
  EXPECT_EQ("Error initializing MAPI. hRes = 0x80040605\n", run.out);
  EXPECT_EQ(1u, run.exit_code);
}

}  // namespace
}  // namespace pw
