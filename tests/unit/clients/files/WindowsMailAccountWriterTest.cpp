#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "clients/files/WindowsMailAccountFolder.h"
#include "clients/files/WindowsMailAccountWriter.h"
#include "platform/fault/FaultInjecting.h"
#include "platform/memory/MemoryPlatform.h"
#include "unit/clients/files/ThunderbirdTestSupport.h"
#include "unit/clients/files/WindowsMailFixtures.h"
#include "unit/clients/files/WindowsMailLayouts.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

const std::string kFolder = "C:\\Users\\jo\\AppData\\Local\\Microsoft\\Windows Mail\\Local Folders";
const std::string kNewName = "account{00000000-0000-4000-8000-000000000001}.oeaccount";
const std::string kOldName = "account{4b4ae1f1-3c21-4bd1-9c1b-8e6c3c0f2a10}.oeaccount";
const std::string kOtherDefault = "account{x}.oeaccount";
const char kStoreKey[] = "Software\\Microsoft\\Windows Mail";
const char kIam[] = "Software\\Microsoft\\IAM";
const std::string kLogPath = "C:\\Logs\\Postwright.log";
const std::string kSearch = "Searching for existant jdoe@quillset.example account ... " + kFolder + "\\account*";
const Lines kNewLog = {kSearch, "not found. Creating new account.", "", "Starting Windows Mail configuration...", ""};
const Lines kFoundLog = {kSearch, " found. Reseting settings to defaults.", "", "Starting Windows Mail configuration...",
                         "", " found existant at: " + kFolder + "\\" + kOldName};

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The run log's settings list for jdoe@quillset.example.
const Lines kReport = {
    "The following settings were written/overwritten in Windows Mail's configuration:",
    "",
    "Account Name: jdoe@quillset.example",
    "Connection Type: 00000003",
    "POP3 Server: pop.quillset.example",
    "POP3 User Name: jdoe@quillset.example",
    "POP3 Use Sicily: 00000000",
    "POP3 Port: 000003e3",
    "POP3 Secure Connection: 00000001",
    "POP3 Timeout: 0000003c",
    "Leave Mail On Server: 00000000",
    "SMTP Server: smtp.quillset.example</SMTP_Server>",
    "SMTP Use Sicily: 00000002",
    "SMTP Port: 000001d1</SMTP_Port>",
    "SMTP Secure Connection: 00000001",
    "SMTP Timeout: 0000003c",
    "SMTP Display Name: Jo Doe</SMTP_Display_Name>",
    "SMTP Email Address: jdoe@quillset.example",
};

class WindowsMailMachine {
 public:
  WindowsMailMachine() {
    machine.files.PutFolder("C:\\Logs");
    machine.files.PutFolder(kFolder);
    machine.environment.Set("USERPROFILE", "C:\\Users\\jo");
    machine.registry.Put(RegRoot::kCurrentUser, kStoreKey, "Store Root", regtype::kExpandSz,
                         std::string("%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows Mail\\") + '\0');
    machine.registry.Put(RegRoot::kCurrentUser, kIam, "Default Mail Account", regtype::kSz, kOtherDefault);
  }

  ConfigureResult Run(const AccountRequest& request) {
    RunLog log;
    EXPECT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, kLogPath));
    FaultInjectingFileSystem files(machine.files, plan);
    FaultInjectingRegistry registry(machine.registry, plan);
    WindowsMailAccountWriter writer(request, registry, files, machine.environment, machine.clock, machine.uuids, log,
                                    kTestProvider);
    return writer.Configure();
  }

  // The name of the file found for jdoe@quillset.example; empty for none.
  std::string Find(const std::string& folder) {
    RunLog log;
    EXPECT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, kLogPath));
    FaultInjectingFileSystem files(machine.files, plan);
    const std::optional<std::string> found = FindAccountFile(files, log, folder, "jdoe@quillset.example");
    return found ? found->substr(folder.size() + 1) : "";
  }

  void Put(const std::string& name, const std::string& bytes) { machine.files.PutFile(kFolder + "\\" + name, bytes); }
  std::string File(const std::string& name) const { return machine.files.FileBytes(kFolder + "\\" + name); }
  Lines Tree() const { return machine.files.Tree(kFolder); }
  Lines LogLines() const { return SplitLines(machine.files.FileBytes(kLogPath)); }
  std::string DefaultAccount() const {
    RegValue value;
    machine.registry.Get(RegRoot::kCurrentUser, kIam, "Default Mail Account", &value);
    return value.type == regtype::kSz ? value.data : "(not REG_SZ)";
  }

  MemoryPlatform machine;
  FaultPlan plan;
};

TEST(WindowsMailAccountWriter, NewAccountFileHasExactlyItsNineteenLines) {
  for (bool make_default : {false, true}) {
    SCOPED_TRACE(make_default);
    WindowsMailMachine wm;
    ASSERT_EQ(0, wm.Run(TbRequest(make_default, false)));
    EXPECT_EQ(Lines{kFolder + "\\" + kNewName}, wm.Tree());
    EXPECT_EQ(NewAccountFile(), wm.File(kNewName));
    EXPECT_EQ(make_default ? kNewName : kOtherDefault, wm.DefaultAccount());
    EXPECT_EQ(Concat(kNewLog, kReport), wm.LogLines());
  }
}

// Escaped in the file and in the search, plain in the log; the UTF-8 of
// U+00E9 becomes the one unit U+00E9.
TEST(WindowsMailAccountWriter, TextValuesAreEscapedWidenedAndFoundAgain) {
  WindowsMailMachine wm;
  const AccountRequest odd{"t&j@quillset.example", "Tom & Jerry <TJ>\r\nRen\xC3\xA9 \"R\"", false, true};
  ASSERT_EQ(0, wm.Run(odd));
  const std::string first = wm.File(kNewName);
  EXPECT_EQ(NewAccountFile("Tom &amp; Jerry &lt;TJ&gt;  Ren\xE9 \"R\"", "t&amp;j@quillset.example"), first);
  EXPECT_EQ("SMTP Display Name: Tom & Jerry <TJ>", wm.LogLines()[21]);
  ASSERT_EQ(0, wm.Run(odd));  // a second run finds and rewrites the same file
  EXPECT_EQ(first, wm.File(kNewName));
  EXPECT_EQ(Lines{kFolder + "\\" + kNewName}, wm.Tree());
}

TEST(WindowsMailAccountWriter, StoreRootGivesTheFolderOrTheRunEndsUnchanged) {
  const std::string deep = "C:\\" + std::string(300, 'd') + "\\";
  const struct {
    std::optional<std::string> store_root;
    std::string folder;  // empty: Windows Mail has not been started
  } cases[] = {{"D:\\Mail", "D:\\MailLocal Folders"}, {deep, deep + "Local Folders"}, {"", ""}, {std::nullopt, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    WindowsMailMachine wm;
    if (c.store_root)
      wm.machine.registry.Put(RegRoot::kCurrentUser, kStoreKey, "Store Root", regtype::kSz, *c.store_root);
    else
      ASSERT_EQ(err::kSuccess, wm.machine.registry.DeleteKey(RegRoot::kCurrentUser, kStoreKey));
    if (!c.folder.empty()) wm.machine.files.PutFolder(c.folder);
    EXPECT_EQ(c.folder.empty() ? 3 : 0, wm.Run(TbRequest(true, false)));
    EXPECT_EQ(c.folder.empty() ? "" : NewAccountFile(), wm.machine.files.FileBytes(c.folder + "\\" + kNewName));
    EXPECT_EQ(c.folder.empty() ? kOtherDefault : kNewName, wm.DefaultAccount());
    if (c.folder.empty()) {
      EXPECT_EQ(Lines(), wm.LogLines());
      EXPECT_EQ(Lines(), wm.Tree());
    }
  }
  WindowsMailMachine wm;
  wm.machine.environment.Unset("USERPROFILE");
  EXPECT_EQ(7, wm.Run(TbRequest(false, false)));
  EXPECT_EQ(Lines({"The environment variable USERPROFILE is not set; %USERPROFILE%\\AppData\\Local\\Microsoft\\"
                   "Windows Mail\\Local Folders names no folder.",
                   ""}),
            wm.LogLines());
}

// Names that begin with "account" and end with ".oeaccount", folders among them, in listing order; the address
// as an XML reader reads it, or, in a file it rejects, the element exactly as written.
TEST(WindowsMailAccountWriter, AccountFileSearch) {
  const std::string element = "<SMTP_Email_Address type=\"SZ\">jdoe@quillset.example</SMTP_Email_Address>";
  const std::string held = Utf16File("<MessageAccount>\r\n\t\t" + element + "\r\n");
  const auto account = [](const std::string& inside) { return Utf16File("<MessageAccount>" + inside + "</MessageAccount>"); };
  const struct {
    std::vector<std::pair<std::string, std::string>> files;
    std::string found;
  } cases[] = {
      {{{"other.oeaccount", held}, {"ACCOUNTS.TXT", Utf16File(element, false)}, {"account{c}.OEACCOUNT", held}},
       "account{c}.OEACCOUNT"},
      {{{"account{b}.oeaccount", held}, {"account{a}.oeaccount.tmp", held}}, "account{b}.oeaccount"},
      {{{"account{1}.oeaccount", Utf16File("<SMTP_Email_Address type='SZ'>jdoe@quillset.example</SMTP_Email_Address>")},
        {"account{2}.oeaccount", element},
        {"account{3}.oeaccount", held + "x"},
        {"account{4}.oeaccount", account("<SMTP_Email_Address>jdoe@quillset.example </SMTP_Email_Address>")},
        {"account{5}.oeaccount", account("<SMTP_Email_Address/>" + element)},
        {"account{6}.oeaccount", account("<SMTP_Email_Address\ttype='SZ'>jdoe@quillset.exampl</SMTP_Email_Address>")}},
       ""},
      {{{"account{7}.oeaccount", account("<SMTP_Email_Address\r\ntype='SZ'>jdoe&#64;quillset.example</SMTP_Email_Address>")}},
       "account{7}.oeaccount"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.found);
    WindowsMailMachine wm;
    wm.machine.files.PutFolder(kFolder + "\\account{0-folder}");
    for (const auto& file : c.files) wm.Put(file.first, file.second);
    EXPECT_EQ(c.found, wm.Find(kFolder));
    EXPECT_EQ(Lines{kFolder + "\\account*"}, wm.LogLines());
  }
  WindowsMailMachine wm;
  EXPECT_EQ("", wm.Find("C:\\Missing"));
  wm.plan.FailPath(kFolder + "\\account*", err::kAccessDenied);
  EXPECT_EQ("", wm.Find(kFolder));
  EXPECT_EQ(Lines({"C:\\Missing\\account*", kFolder + "\\account*", "FindNextFile error. Error is :5"}),
            wm.LogLines());
}

TEST(WindowsMailAccountWriter, FoundAccountFileIsRewrittenInPlace) {
  const Lines e = AccountElements();
  const Lines missing = Concat({e[0], e[1]}, Lines(e.begin() + 3, e.end() - 1));  // all but 2 and 15
  const std::string old = "<POP3_Server type=\"SZ\">pop.old.example</POP3_Server>";
  const struct {
    std::string text;  // 8-bit, made UTF-16 with its mark
    Lines rewritten;
  } cases[] = {
      {CrlfLines({kAccountDeclaration, "<MessageAccount>", "  <Extra type=\"SZ\">x</Extra>", "    " + old, e[15],
                  "</MessageAccount>"}),
       Concat({kAccountDeclaration, "<MessageAccount>", "    <Extra type=\"SZ\">x</Extra>", e[2], e[15]}, missing)},
      {std::string(kAccountDeclaration) + "\n<MessageAccount>\n\t" + old + "\n\t\t" + old + "\n" + e[15] +
           "\r\t<!-- note -->\r</MessageAccount>",
       Concat({kAccountDeclaration, "<MessageAccount>", e[2], e[15], "    <!-- note -->"}, missing)},
      {CrlfLines(Concat({kAccountDeclaration, "<MessageAccount>"}, Concat(e, {"</MessageAccount>"}))),
       Concat({kAccountDeclaration, "<MessageAccount>"}, e)},
      {CrlfLines({"<MessageAccount>", e[15], "</MessageAccount>"}),  // the mark stays first without a declaration
       Concat({"<MessageAccount>", e[15]}, Lines(e.begin(), e.end() - 1))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    WindowsMailMachine wm;
    wm.Put(kOldName, Utf16File(c.text));
    ASSERT_EQ(0, wm.Run(TbRequest(true, true)));
    EXPECT_EQ(Utf16File(CrlfLines(Concat(c.rewritten, {"</MessageAccount>"}))), wm.File(kOldName));
    EXPECT_EQ(Lines{kFolder + "\\" + kOldName}, wm.Tree());
    EXPECT_EQ(kOldName, wm.DefaultAccount());
    EXPECT_EQ(Concat(kFoundLog, kReport), wm.LogLines());
  }
}

// Each found file comes back well-formed with every known element once and every other element kept, or the run
// fails with the file as it was.
TEST(WindowsMailAccountWriter, OddLayoutsComeBackWellFormedOrAreLeftAlone) {
  for (const AccountLayout& layout : OddAccountLayouts()) {
    SCOPED_TRACE(layout.name);
    WindowsMailMachine wm;
    wm.Put(kOldName, Utf16File(layout.before));
    const bool refused = layout.after.empty();
    EXPECT_EQ(refused ? 7 : 0, wm.Run(TbRequest(true, true)));
    EXPECT_EQ(Utf16File(refused ? layout.before : CrlfLines(layout.after)), wm.File(kOldName));
    EXPECT_EQ(Lines{kFolder + "\\" + kOldName}, wm.Tree());
    EXPECT_EQ(refused ? kOtherDefault : kOldName, wm.DefaultAccount());
    EXPECT_EQ(Concat(kFoundLog, refused ? Lines{kFolder + "\\" + kOldName + " is not a well-formed account file; it is left as it is.", ""}
                                        : kReport),
              wm.LogLines());
  }
  // Nesting is bounded rather than followed until the stack runs out.
  std::string nested = "<MessageAccount>" + AccountElements()[15];
  for (int level = 0; level < 100000; ++level) nested += "<a>";
  WindowsMailMachine wm;
  wm.Put(kOldName, Utf16File(nested));
  EXPECT_EQ(7, wm.Run(TbRequest(false, true)));
  EXPECT_EQ(Utf16File(nested), wm.File(kOldName));
}

TEST(WindowsMailAccountWriter, FoundAccountIsLeftAloneWithoutOverwriteOrWhenReadOnly) {
  const std::string old = Utf16File(CrlfLines({kAccountDeclaration, "<MessageAccount>", AccountElements()[15]}));
  for (bool read_only : {false, true}) {
    SCOPED_TRACE(read_only);
    WindowsMailMachine wm;
    wm.Put(kOldName, old);
    if (read_only) wm.machine.files.SetReadOnly(kFolder + "\\" + kOldName);
    EXPECT_EQ(read_only ? 7 : 5, wm.Run(TbRequest(true, read_only)));
    EXPECT_EQ(old, wm.File(kOldName));
    EXPECT_EQ(Lines{kFolder + "\\" + kOldName}, wm.Tree());
    EXPECT_EQ(kOtherDefault, wm.DefaultAccount());
    EXPECT_EQ(read_only ? Concat(kFoundLog, {kFolder + "\\" + kOldName + " is marked read-only; it is left as it is.", ""})
                        : Lines({kSearch, " found. No changes will be made."}),
              wm.LogLines());
  }
  // An address in another letter case is another account.
  WindowsMailMachine wm;
  wm.Put(kOldName, old);
  ASSERT_EQ(0, wm.Run(TbRequest(false, false, "JDoe@quillset.example")));
  EXPECT_EQ(old, wm.File(kOldName));
  EXPECT_EQ(NewAccountFile("Jo Doe", "JDoe@quillset.example"), wm.File(kNewName));
}

// Every change, the default account's included, made to fail in turn.
// Every failure point is walked by the fault walk; here, a default that cannot
// be set takes the new file back.
TEST(WindowsMailAccountWriter, DefaultThatCannotBeSetTakesTheFileBack) {
  WindowsMailMachine wm;
  wm.plan.FailNthMutation(7, err::kAccessDenied);
  EXPECT_EQ(7, wm.Run(TbRequest(true, false)));
  EXPECT_EQ(Concat(kNewLog, {"Making the account the default failed with error code 5.", ""}), wm.LogLines());
  EXPECT_EQ(Lines(), wm.Tree());
  EXPECT_EQ(kOtherDefault, wm.DefaultAccount());
}

}  // namespace
}  // namespace pw
