// One table of display names in several scripts through every writer, on a
// machine whose user folder is named in Hebrew: each store gets the name in
// its own encoding, byte for byte, or (Eudora, whose code page cannot hold
// it) nothing at all.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/RunLog.h"
#include "clients/files/EudoraAccountWriter.h"
#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "clients/files/ThunderbirdAccountWriter.h"
#include "clients/files/WindowsMailAccountWriter.h"
#include "clients/registry/OutlookExpressAccountWriter.h"
#include "clients/registry/OutlookProfileAccountWriter.h"
#include "platform/memory/MemoryPlatform.h"
#include "unit/run/RunTestBed.h"

namespace pw {
namespace {

using std::string_literals::operator""s;

struct Name {
  const char* what;
  std::string utf8;
  std::string utf16;                  // little-endian, no terminator
  std::optional<std::string> cp1252;  // none: the code page cannot hold it
  std::optional<std::string> cp1255;
};

const Name kNames[] = {
    {"ASCII", "Jo Doe", "J\0o\0 \0D\0o\0e\0"s, "Jo Doe", "Jo Doe"},
    {"Latin-1", "J\xC3\xB6rg M\xC3\xBCller", "J\0\xF6\0r\0g\0 \0M\0\xFC\0l\0l\0e\0r\0"s, "J\xF6rg M\xFCller",
     std::nullopt},
    {"Hebrew", "\xD7\x93\xD7\xA0\xD7\x99 \xD7\x9B\xD7\x94\xD7\x9F",
     "\xD3\x05\xE0\x05\xD9\x05 \0\xDB\x05\xD4\x05\xDF\x05"s, std::nullopt, "\xE3\xF0\xE9 \xEB\xE4\xEF"},
    {"Hebrew with marks", "\xD7\x93\xD6\xBC\xD6\xB8\xD7\xA0\xD6\xB4\xD7\x99",
     "\xD3\x05\xBC\x05\xB8\x05\xE0\x05\xB4\x05\xD9\x05"s, std::nullopt, "\xE3\xCC\xC8\xF0\xC4\xE9"},
    {"beyond the BMP", "Jo \xF0\x9F\x98\x80", "J\0o\0 \0\x3D\xD8\x00\xDE"s, std::nullopt, std::nullopt},
};

const RegRoot kHkcu = RegRoot::kCurrentUser;
// "C:\Users\<Hebrew>": a user folder outside every Western code page.
const std::string kUser = "C:\\Users\\\xD7\x93\xD7\xA0\xD7\x99";
const std::string kAppData = kUser + "\\AppData\\Roaming";
const std::string kLogPath = kUser + "\\Postwright.log";
const char kAddress[] = "dani@quillset.example";

struct Machine {
  explicit Machine(int code_page) {
    machine.environment.SetAnsiCodePage(code_page);
    machine.environment.Set("USERPROFILE", kUser);
    machine.registry.PutText(kHkcu, "Volatile Environment", "APPDATA", kAppData);
    machine.files.PutFolder(kAppData);
    EXPECT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, kLogPath));
    log.WriteInCodePageOf(machine.environment);
  }
  std::string Value(const std::string& path, const std::string& name) {
    RegValue value;
    return machine.registry.Get(kHkcu, path, name, &value) ? value.data : "(none)";
  }

  MemoryPlatform machine;
  RunLog log;
};

AccountRequest Request(const Name& name) { return AccountRequest{kAddress, name.utf8, false, true}; }

TEST(NamesInAnyScript, ThunderbirdKeepsUtf8InPrefsJs) {
  for (const Name& name : kNames) {
    SCOPED_TRACE(name.what);
    Machine m(1252);
    const std::string tb = kAppData + "\\Thunderbird";
    m.machine.files.PutFile(tb + "\\profiles.ini",
                            "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                            "Path=Profiles/ab.default\r\nDefault=1\r\n");
    // Another account's name in code-page bytes, as an old tool may have left
    // it: Thunderbird reads it as it reads it, and it stays byte for byte.
    const std::string other = "user_pref(\"mail.identity.id9.fullName\", \"\xE3\xF0\xE9 R\xF6\");\r\n";
    m.machine.files.PutFile(tb + "\\Profiles\\ab.default\\prefs.js", other);
    ThunderbirdAccountWriter writer(Request(name), "thunderbird.exe", m.machine.registry, m.machine.files, m.machine.environment,
                                    m.machine.clock, m.log);
    ASSERT_EQ(0, writer.Configure());
    const std::string prefs = m.machine.files.FileBytes(tb + "\\Profiles\\ab.default\\prefs.js");
    EXPECT_NE(std::string::npos, prefs.find(".fullName\", \"" + name.utf8 + "\");\r\n")) << prefs;
    EXPECT_NE(std::string::npos, prefs.find(other)) << prefs;
  }
}

TEST(NamesInAnyScript, WindowsMailKeepsUtf16InTheAccountFile) {
  for (const Name& name : kNames) {
    SCOPED_TRACE(name.what);
    Machine m(1255);
    const std::string folder = kUser + "\\AppData\\Local\\Microsoft\\Windows Mail\\Local Folders";
    m.machine.files.PutFolder(folder);
    m.machine.registry.Put(kHkcu, "Software\\Microsoft\\Windows Mail", "Store Root", regtype::kExpandSz,
                           "%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows Mail\\"s + '\0');
    WindowsMailAccountWriter writer(Request(name), m.machine.registry, m.machine.files, m.machine.environment,
                                    m.machine.clock, m.machine.uuids, m.log);
    ASSERT_EQ(0, writer.Configure());
    const std::string file =
        m.machine.files.FileBytes(folder + "\\account{00000000-0000-4000-8000-000000000001}.oeaccount");
    EXPECT_NE(std::string::npos, file.find(">\0"s + name.utf16 + "<\0/\0S\0M\0T\0P\0_\0D\0i\0s\0p\0"s)) << file;
  }
}

TEST(NamesInAnyScript, OutlookValuesKeepEveryCharacter) {
  const std::string profiles =
      "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
  const std::string store = profiles + "\\Main\\9375CFF0413111d3B88A00104B2A6676";
  const std::string accounts = "Software\\Microsoft\\Internet Account Manager\\Accounts";
  for (const Name& name : kNames) {
    SCOPED_TRACE(name.what);
    Machine m(1252);
    m.machine.registry.PutText(kHkcu, profiles, "DefaultProfile", "Main");
    m.machine.registry.PutKey(kHkcu, store);
    m.machine.registry.PutKey(kHkcu, accounts);
    ASSERT_EQ(0, OutlookProfileAccountWriter(Request(name), std::nullopt, m.machine.registry, m.log).Configure());
    ASSERT_EQ(0, OutlookExpressAccountWriter(Request(name), std::nullopt, m.machine.registry, m.log).Configure());
    // Outlook 2002 and later: UTF-16 in REG_BINARY, one zero unit at the end.
    EXPECT_EQ(name.utf16 + "\0\0"s, m.Value(store + "\\00000001", "Display Name"));
    // Outlook Express: a text value, which the registry keeps as UTF-16.
    EXPECT_EQ(name.utf8, m.Value(accounts + "\\" + kAddress, "SMTP Display Name"));
  }
}

TEST(NamesInAnyScript, EudoraTakesWhatItsCodePageHoldsAndRefusesTheRest) {
  for (const int code_page : {1252, 1255}) {
    for (const Name& name : kNames) {
      SCOPED_TRACE(std::string(name.what) + " in " + std::to_string(code_page));
      Machine m(code_page);
      const std::string ini = kAppData + "\\Qualcomm\\Eudora\\Eudora.ini";
      const std::string original = "[Settings]\r\nRealName=\r\n";
      m.machine.files.PutFile(ini, original);
      EudoraAccountWriter writer(Request(name), "Eudora.exe", m.machine.registry, m.machine.files,
                                 m.machine.environment, m.machine.clock, m.log);
      const std::optional<std::string>& ansi = code_page == 1252 ? name.cp1252 : name.cp1255;
      if (ansi) {
        ASSERT_EQ(0, writer.Configure());
        const std::string written = m.machine.files.FileBytes(ini);
        EXPECT_EQ(0u, written.find("[Settings]\r\nRealName=" + *ansi + "\r\n")) << written;
        // The log is in the same code page.
        EXPECT_NE(std::string::npos, m.machine.files.FileBytes(kLogPath).find("RealName: " + *ansi + "\r\n"));
      } else {
        ASSERT_EQ(result::kNotInCodePage, writer.Configure());
        EXPECT_EQ(original, m.machine.files.FileBytes(ini));
        EXPECT_EQ((std::vector<std::string>{kAppData + "\\Qualcomm\\Eudora\\Eudora.ini"}),
                  m.machine.files.Tree(kAppData + "\\Qualcomm\\Eudora"));
        std::string logged;
        m.machine.environment.ToAnsiCodePage(name.utf8, &logged);
        EXPECT_EQ("Starting Eudora configuration...\r\n\r\n\"" + logged +
                      "\" cannot be written in the system's code page, in which Eudora reads its settings.\r\n"
                      "No changes have been made.\r\n\r\n",
                  m.machine.files.FileBytes(kLogPath));
      }
    }
  }
}

// The run log keeps the code page's bytes; what it cannot hold becomes "?",
// one for each character, in the log only.
TEST(NamesInAnyScript, RunLogIsWrittenInTheCodePage) {
  const struct {
    int code_page;
    std::string logged[5];
  } kCases[] = {
      {1252, {"Jo Doe", "J\xF6rg M\xFCller", "??? ???", "??????", "Jo ?"}},
      {1255, {"Jo Doe", "J?rg M?ller", "\xE3\xF0\xE9 \xEB\xE4\xEF", "\xE3\xCC\xC8\xF0\xC4\xE9", "Jo ?"}},
  };
  for (const auto& c : kCases) {
    Machine m(c.code_page);
    std::string expected;
    for (int i = 0; i < 5; ++i) {
      m.log.Line("Name: " + kNames[i].utf8);
      expected += "Name: " + c.logged[i] + "\r\n";
    }
    EXPECT_EQ(expected, m.machine.files.FileBytes(kLogPath)) << c.code_page;
    // Bytes of the code page read back as the same characters.
    for (int i = 0; i < 5; ++i) {
      const std::optional<std::string>& ansi = c.code_page == 1252 ? kNames[i].cp1252 : kNames[i].cp1255;
      if (ansi) {
        EXPECT_EQ(kNames[i].utf8, m.machine.environment.FromAnsiCodePage(*ansi)) << kNames[i].what;
      }
    }
  }
}

// Automatic mode reads an Outlook 2002 name in any script whole and writes it
// back unchanged into the account it makes.
TEST(NamesInAnyScript, AutomaticModeKeepsTheFoundName) {
  const std::string store =
      "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles\\Main\\"
      "9375CFF0413111d3B88A00104B2A6676";
  for (const Name& name : kNames) {
    SCOPED_TRACE(name.what);
    RunTestBed bed;
    bed.detection.default_client = 2;  // Outlook
    bed.detection.outlook_version = 11;
    bed.detection.Install(ClientKind::kOutlook);
    bed.machine.registry.PutText(kHkcu,
                                 "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\"
                                 "Profiles",
                                 "DefaultProfile", "Main");
    bed.machine.registry.Put(kHkcu, store, "{ED475418-B0D6-11D2-8C3B-00104B2A6676}", regtype::kBinary,
                             "\x01\0\0\0"s);
    for (const char* value : {"Email", "Account Name"})
      bed.machine.registry.Put(kHkcu, store + "\\00000001", value, regtype::kBinary,
                               "d\0a\0n\0i\0@\0x\0.\0o\0r\0g\0\0\0"s);
    bed.machine.registry.Put(kHkcu, store + "\\00000001", "Display Name", regtype::kBinary,
                             name.utf16 + "\0\0"s);
    ASSERT_EQ(0, bed.Run("-auto -p \"QS-\" -u")) << bed.Log();
    RegValue written;
    ASSERT_TRUE(bed.machine.registry.Get(kHkcu, store + "\\00000002", "Display Name", &written));
    EXPECT_EQ(name.utf16 + "\0\0"s, written.data);
  }
}

}  // namespace
}  // namespace pw
