#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/AppPaths.h"
#include "clients/files/EudoraAccountWriter.h"
#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "platform/fault/FaultInjecting.h"
#include "platform/memory/MemoryPlatform.h"
#include "unit/clients/files/EudoraLayouts.h"
#include "unit/clients/files/ThunderbirdTestSupport.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

const std::string kAppData = "C:\\Users\\jo\\AppData\\Roaming";
const std::string kIni = kAppData + "\\Qualcomm\\Eudora\\Eudora.ini";
const std::string kLogPath = "C:\\Logs\\Postwright.log";
const Lines kStart = {"Starting Eudora configuration...", ""};
const std::string kSearch = "Searching for existant jdoe@quillset.example account ... ";

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Lines Report(const std::string& search_outcome, const std::string& name = "Jo Doe") {
  return Concat(Concat(kStart, {kSearch + search_outcome, "",
                                "The following lines were written/overwritten in the Eudora configuration file:", ""}),
                Concat(SplitLines(Personality({}, ": ", name)), {""}));
}

class EudoraMachine {
 public:
  EudoraMachine() {
    machine.files.PutFolder(kAppData + "\\Qualcomm\\Eudora");
    machine.files.PutFile(kLogPath, "");
    machine.registry.PutText(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", kAppData);
  }

  // Each run finds an empty log.
  ConfigureResult Run(bool overwrite, const std::string& name = "Jo Doe") {
    machine.files.PutFile(kLogPath, "");
    RunLog log;
    EXPECT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, kLogPath));
    FaultInjectingFileSystem files(machine.files, plan);
    EudoraAccountWriter writer({"jdoe@quillset.example", name, true, overwrite}, "Eudora.exe", machine.registry,
                               files, machine.environment, machine.clock, log, kTestProvider);
    const ConfigureResult result = writer.Configure();
    log.Close();
    return result;
  }

  Lines LogLines() const { return SplitLines(machine.files.FileBytes(kLogPath)); }
  Lines Tree() const { return machine.files.Tree("C:\\"); }

  MemoryPlatform machine;
  FaultPlan plan;
};

const std::string kDominant = "[Settings]\nRealName=Ann Lee\nReturnAddress=ann@example.org\n";
const std::string kJdoe = "Persona-jdoe@quillset.example";
const std::string kJdoeSection = "[" + kJdoe + "]\n" + Personality();
const std::string kAddedToDominant = kDominant + "[Personalities]\nPersona0=" + kJdoe + "\n" + kJdoeSection;

TEST(EudoraAccountWriter, EachOutcomeGivesTheWholeFileItsPersonality) {
  const struct {
    const char* name;
    std::string before;
    std::string after;
    bool overwrite;
  } cases[] = {
      {"listed after the last one, its section after the entry",
       kDominant + "\n[Personalities]\nPersona0=Persona-b\nPersona1=Persona-c\n\n[Persona-b]\nReturnAddress=b@x\n",
       kDominant + "\n[Personalities]\nPersona0=Persona-b\nPersona1=Persona-c\nPersona2=" + kJdoe + "\n" +
           kJdoeSection + "\n[Persona-b]\nReturnAddress=b@x\n",
       false},
      {"no list: list and personality at the end", kDominant, kAddedToDominant, false},
      {"the same with lone CRs and no last line end", "[Settings]\rRealName=Ann Lee\rReturnAddress=ann@example.org",
       kAddedToDominant, false},
      {"an empty list gets its first entry", kDominant + "[Personalities]\n", kAddedToDominant, false},
      {"a list out of order, with other lines",
       kDominant + "[Personalities]  \nPersona0=Persona-a\nPersona2=Persona-c\npersona1 = Persona-b\n; kept\n\n",
       kDominant + "[Personalities]  \nPersona0=Persona-a\nPersona2=Persona-c\npersona1 = Persona-b\nPersona3=" +
           kJdoe + "\n; kept\n" + kJdoeSection + "\n",
       false},
      {"the empty dominant personality is filled, what it lacked added",
       "; Eudora\n[Settings]\nRealName=\n ReturnAddress = \nLeaveMailOnServer=1\nSavePassword=1\n\n[Personalities]\n",
       "; Eudora\n[Settings]\nRealName=Jo Doe\nReturnAddress=jdoe@quillset.example\nLeaveMailOnServer=0\n"
       "SavePassword=1\n" + Personality({"RealName", "ReturnAddress", "LeaveMailOnServer"}) + "\n[Personalities]\n",
       false},
      {"an empty file gets a dominant personality", "", "[Settings]\n" + Personality(), false},
      {"a found personality is rewritten by its keys, letter case ignored",
       "[Settings]\n; ReturnAddress=jdoe@quillset.example\nOldReturnAddress=jdoe@quillset.example\nRealName=Ann\n"
       "[personalities]\nPersona0 = persona-WORK\n"
       "[Persona-work]\nrealname=Old\n returnaddress = \"JDoe@Quillset.example\"\nSMTPPort=25\nPopPort = 110\n"
       "Signature=Regards\n\n[Other]\nPopPort=110\n",
       "[Settings]\n; ReturnAddress=jdoe@quillset.example\nOldReturnAddress=jdoe@quillset.example\nRealName=Ann\n"
       "[personalities]\nPersona0 = persona-WORK\n"
       "[Persona-work]\nRealName=Jo Doe\nReturnAddress=jdoe@quillset.example\nSMTPPort=465\nPopPort=995\n"
       "Signature=Regards\n" + Personality({"RealName", "ReturnAddress", "SMTPPort", "PopPort"}) +
           "\n[Other]\nPopPort=110\n",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EudoraMachine eudora;
    eudora.machine.files.PutFile(kIni, Crlf(c.before));
    const Lines before = eudora.Tree();
    ASSERT_EQ(0, eudora.Run(c.overwrite));
    EXPECT_EQ(Crlf(c.after), eudora.machine.files.FileBytes(kIni));
    EXPECT_EQ(before, eudora.Tree());  // no temporary file left
  }
}

// Only what GetPrivateProfileString reads counts: the first section of a name, the first entry of a key, the
// sections the list names; a byte-order mark is no part of the first line.
TEST(EudoraAccountWriter, TheFileIsReadAsTheProfileFunctionsReadIt) {
  for (const EudoraLayout& layout : OddEudoraLayouts()) {
    SCOPED_TRACE(layout.name);
    EudoraMachine eudora;
    eudora.machine.files.PutFile(kIni, Crlf(layout.before));
    ASSERT_EQ(0, eudora.Run(layout.overwrite));
    EXPECT_EQ(Crlf(layout.after), eudora.machine.files.FileBytes(kIni));
    EXPECT_EQ(Report(layout.section == "Persona-work" ? " found. Reseting settings to defaults."
                                                      : "not found. Creating new account."),
              eudora.LogLines());
  }
}

TEST(EudoraAccountWriter, TheRunLogSaysWhatWasFoundAndWritten) {
  EudoraMachine eudora;
  eudora.machine.files.PutFile(kIni, Crlf(kDominant));
  ASSERT_EQ(0, eudora.Run(false, "Jo\r\nDoe\nJr"));  // line breaks cannot start lines of their own
  EXPECT_EQ(Crlf(kDominant + "[Personalities]\nPersona0=" + kJdoe + "\n[" + kJdoe + "]\n" +
                 Personality({}, "=", "Jo  Doe Jr")),
            eudora.machine.files.FileBytes(kIni));
  EXPECT_EQ(Report("not found. Creating new account.", "Jo  Doe Jr"), eudora.LogLines());

  const std::string written = eudora.machine.files.FileBytes(kIni);
  EXPECT_EQ(5, eudora.Run(false));
  EXPECT_EQ(written, eudora.machine.files.FileBytes(kIni));
  EXPECT_EQ(Concat(kStart, {kSearch + " found. No changes will be made."}), eudora.LogLines());

  ASSERT_EQ(0, eudora.Run(true));
  EXPECT_EQ(Report(" found. Reseting settings to defaults."), eudora.LogLines());
}

// App Paths is read as Windows starts the program: quoted, or with variables
// in a REG_EXPAND_SZ (or a REG_SZ), its folder is the program's.
TEST(EudoraAccountWriter, TheFileIsLookedForInApplicationDataThenBesideTheProgram) {
  const std::string program = "C:\\Program Files\\Qualcomm\\Eudora\\Eudora.exe";
  const std::string beside = "C:\\Program Files\\Qualcomm\\Eudora\\Eudora.ini";
  const std::string expandable = "%ProgramFiles%\\Qualcomm\\Eudora\\Eudora.exe";
  const struct {
    const char* name;
    std::string app_data;  // the registry's value
    std::string app_path;  // App Paths, none when empty
    uint32_t type;
    std::string ini;       // where Eudora.ini is, none when empty
    int result;
  } cases[] = {
      {"empty registry value: the shell's folder", "", "", regtype::kSz, kIni, 0},
      {"beside the program", kAppData, program, regtype::kSz, beside, 0},
      {"beside the quoted program", kAppData, "\"" + program + "\"", regtype::kSz, beside, 0},
      {"beside the program a REG_EXPAND_SZ names", kAppData, expandable, regtype::kExpandSz, beside, 0},
      {"nowhere", kAppData, program, regtype::kSz, "", 1},
      {"App Paths' program under another name", kAppData, "C:\\Eudora\\eudora32.exe", regtype::kSz,
       "C:\\Eudora\\Eudora.ini", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EudoraMachine eudora;
    eudora.machine.registry.PutText(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", c.app_data);
    eudora.machine.environment.SetShellAppData(kAppData);
    eudora.machine.environment.Set("ProgramFiles", "C:\\Program Files");
    if (!c.app_path.empty())
      eudora.machine.registry.Put(RegRoot::kLocalMachine, AppPathsKey(std::string("Eudora.exe")), "", c.type,
                                  c.app_path + '\0');
    if (!c.ini.empty()) eudora.machine.files.PutFile(c.ini, Crlf(kDominant));
    const Lines before = eudora.Tree();
    EXPECT_EQ(c.result, eudora.Run(false));
    EXPECT_EQ(before, eudora.Tree());
    if (c.result == 0) {
      EXPECT_EQ(Crlf(kAddedToDominant), eudora.machine.files.FileBytes(c.ini));
    } else {
      EXPECT_EQ(kStart, eudora.LogLines());
    }
  }
}

TEST(EudoraAccountWriter, AFileThatCannotBeRewrittenSafelyIsLeftAsItWas) {
  const struct {
    const char* name;
    std::string bytes;
    bool read_only;
    Status read_fault;
    std::string refusal;
  } cases[] = {
      {"read-only", Crlf(kDominant), true, err::kSuccess, kIni + " is marked read-only; it is left as it is."},
      {"UTF-16", std::string("\xff\xfe[\0S\0]\0", 8), false, err::kSuccess,
       kIni + " is UTF-16 text; it is left as it is."},
      {"unreadable", Crlf(kDominant), false, err::kSharingViolation, "Reading " + kIni + " failed with error code 32."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EudoraMachine eudora;
    eudora.machine.files.PutFile(kIni, c.bytes);
    eudora.machine.files.SetReadOnly(kIni, c.read_only);
    if (c.read_fault) eudora.plan.FailPath(kIni, c.read_fault);
    EXPECT_EQ(7, eudora.Run(true));
    EXPECT_EQ(c.bytes, eudora.machine.files.FileBytes(kIni));
    EXPECT_EQ(Concat(kStart, {c.refusal, ""}), eudora.LogLines());
  }
}

// Every failure point is walked by the fault walk; here, what the log says of one.
TEST(EudoraAccountWriter, FailedReplaceIsLoggedAndLeavesTheFile) {
  EudoraMachine eudora;
  eudora.machine.files.PutFile(kIni, Crlf(kDominant));
  const Lines before = eudora.Tree();
  eudora.plan.FailNthMutation(5, err::kDiskFull);
  EXPECT_EQ(7, eudora.Run(false));
  EXPECT_EQ(Crlf(kDominant), eudora.machine.files.FileBytes(kIni));
  EXPECT_EQ(before, eudora.Tree());
  EXPECT_EQ(Concat(kStart, {kSearch + "not found. Creating new account.", "",
                            "Replacing " + kIni + " failed with error code 112.", ""}),
            eudora.LogLines());
}

}  // namespace
}  // namespace pw
