// A Hebrew display name, given on a wide command line, through every client
// on the system code page this run has: 1255 when the tests run in a Hebrew
// locale (LC_ALL=he_IL.UTF-8), 1252 in the default Western one. Every store
// holds the name whole; Eudora, whose settings are in the code page, takes it
// only where the code page holds it. A user folder named in Hebrew is used
// on either.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "OutlookWineSupport.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using namespace std::string_literals;

// "Dani Cohen" with a dagesh and a qamats on the first letter.
const std::string kName = "\xD7\x93\xD6\xBC\xD6\xB8\xD7\xA0\xD7\x99 \xD7\x9B\xD7\x94\xD7\x9F";
const std::wstring kWideName = L"\u05D3\u05BC\u05B8\u05E0\u05D9 \u05DB\u05D4\u05DF";
const std::string kCp1255Name = "\xE3\xCC\xC8\xF0\xE9 \xEB\xE4\xEF";
const std::string kArguments = "-n \"" + kName + "\" -a dani";
constexpr char kAddress[] = "dani@quillset.example";

bool HebrewSystem() { return GetACP() == 1255; }

std::string Utf16Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                  static_cast<int>(wide.size())));
  return wide;
}

// A text value read through the wide function: what the registry keeps.
std::wstring WideValue(HKEY root, const std::string& path, const std::string& name) {
  wchar_t buffer[512] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = REG_NONE;
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, Wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return L"(no key)";
  const LONG status = RegQueryValueExW(key, Wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return L"(unread)";
  return buffer;
}

void WriteWideFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadWideFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(missing)";
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

bed::RunResult RunClient(const std::string& client) {
  const bed::RunResult run = bed::RunPostwright(kArguments + " -c " + client);
  EXPECT_TRUE(run.started);
  EXPECT_FALSE(run.timed_out);
  return run;
}

// The run log holds the name in the code page, "?" for what it cannot hold.
void ExpectLoggedName() {
  const std::string logged = HebrewSystem() ? kCp1255Name : "????? ???";
  bool found = false;
  for (const std::string& line : bed::LogLines()) found = found || line == "User Entered Display Name: " + logged;
  EXPECT_TRUE(found) << bed::ReadLog().value_or("(no log)");
}

// The runs below are only as good as the code page they run on: the Hebrew
// locale must give 1255, the default one 1252.
TEST(WineCodePage, FollowsTheLocale) {
  char locale[64] = "";
  GetEnvironmentVariableA("LC_ALL", locale, sizeof locale);
  EXPECT_EQ(std::string(locale).rfind("he_IL", 0) == 0 ? 1255u : 1252u, GetACP()) << locale;
}

class NamesWineTest : public WineTest {};

TEST_F(NamesWineTest, ThunderbirdReadsTheNameAsUtf8) {
  const std::string tb = bed::AppDataFolder() + "\\Thunderbird";
  bed::SeedFile(tb + "\\profiles.ini",
                "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                "Path=Profiles/ab.default\r\n");
  bed::SeedFile(tb + "\\Profiles\\ab.default\\prefs.js", "");
  EXPECT_EQ(0u, RunClient("4").exit_code);
  const std::string prefs = bed::ReadBytes(tb + "\\Profiles\\ab.default\\prefs.js").value_or("(missing)");
  EXPECT_NE(std::string::npos, prefs.find(".fullName\", \"" + kName + "\");\r\n")) << prefs;
  ExpectLoggedName();
}

TEST_F(NamesWineTest, WindowsMailAndOutlookKeepUtf16) {
  char profile[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
  ASSERT_TRUE(length > 0 && length < sizeof profile);
  const std::string folders = std::string(profile) + "\\AppData\\Local\\Microsoft\\Windows Mail\\Local Folders";
  bed::SeedValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows Mail", "Store Root", REG_EXPAND_SZ,
                 bed::WithNul("%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows Mail\\"));
  bed::SeedFolder(folders);
  EXPECT_EQ(0u, RunClient("2").exit_code);
  std::string file;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folders + "\\account*").c_str(), &found);
  ASSERT_NE(INVALID_HANDLE_VALUE, search);
  FindClose(search);
  file = bed::ReadBytes(folders + "\\" + found.cFileName).value_or("(missing)");
  EXPECT_NE(std::string::npos, file.find(Utf16Bytes(L">" + kWideName + L"</SMTP_Display_Name>"))) << file;

  // Outlook 2002 and later: UTF-16 in REG_BINARY.
  const std::string store = outlook::kProfiles + "\\Main\\9375CFF0413111d3B88A00104B2A6676";
  bed::SeedText(HKEY_CURRENT_USER, outlook::kProfiles, "DefaultProfile", "Main");
  bed::SeedKey(HKEY_CURRENT_USER, outlook::kProfiles + "\\Main\\0a0d020000000000c000000000000046");
  bed::SeedKey(HKEY_CURRENT_USER, store);
  outlook::RegisterOutlook(11);
  const bed::RunResult outlook_run = RunClient("1");
  EXPECT_EQ(0u, outlook_run.exit_code) << outlook_run.err;
  const std::vector<std::string> accounts = bed::Subkeys(HKEY_CURRENT_USER, store);
  ASSERT_EQ(1u, accounts.size());
  const std::optional<bed::Value> display = bed::ReadValue(HKEY_CURRENT_USER, store + "\\" + accounts[0],
                                                            "Display Name");
  ASSERT_TRUE(display.has_value());
  EXPECT_EQ((bed::Value{REG_BINARY, Utf16Bytes(kWideName) + "\0\0"s}), *display);
}

TEST_F(NamesWineTest, OutlookExpressKeepsTheNameInTheRegistry) {
  const std::string root = "Software\\Microsoft\\Internet Account Manager\\Accounts";
  bed::SeedKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail\\Outlook Express");
  bed::SeedKey(HKEY_CURRENT_USER, root);
  EXPECT_EQ(0u, RunClient("0").exit_code);
  EXPECT_EQ(kWideName, WideValue(HKEY_CURRENT_USER, root + "\\" + kAddress, "SMTP Display Name"));
}

TEST_F(NamesWineTest, EudoraTakesTheNameOnlyWhereTheCodePageHoldsIt) {
  const std::string ini = bed::AppDataFolder() + "\\Qualcomm\\Eudora\\Eudora.ini";
  const std::string original = "[Settings]\r\nRealName=\r\n";
  bed::SeedFile(ini, original);
  const bed::RunResult run = RunClient("3");
  const std::string written = bed::ReadBytes(ini).value_or("(missing)");
  if (HebrewSystem()) {
    EXPECT_EQ(0u, run.exit_code);
    EXPECT_EQ(0u, written.find("[Settings]\r\nRealName=" + kCp1255Name + "\r\n")) << written;
  } else {
    EXPECT_EQ(1u, run.exit_code);
    EXPECT_EQ(original, written);
    EXPECT_FALSE(bed::PathExists(ini.substr(0, ini.size() - 3) + "tmp"));
    EXPECT_EQ(0u, run.err.find("Postwright: ERROR: Eudora reads its settings in the system's code page, which cannot "
                               "hold the name given. No changes have been made. (log: "))
        << run.err;
  }
  ExpectLoggedName();
}

// The user's application-data folder is named in Hebrew: the program finds
// the Thunderbird profile there and writes its log there.
TEST_F(NamesWineTest, UserFolderNamedInHebrew) {
  const std::wstring user = Wide(bed::ScratchFolder()) + L"\\\u05D3\u05E0\u05D9";
  const std::wstring app_data = user + L"\\AppData";
  const std::wstring tb = app_data + L"\\Thunderbird";
  for (const std::wstring& folder : {user, app_data, tb, tb + L"\\Profiles", tb + L"\\Profiles\\ab.default"})
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << GetLastError();
  WriteWideFile(tb + L"\\profiles.ini",
                "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                "Path=Profiles/ab.default\r\n");
  WriteWideFile(tb + L"\\Profiles\\ab.default\\prefs.js", "");
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Volatile Environment", 0, KEY_SET_VALUE, &key));
  const std::wstring value = app_data;
  RegSetValueExW(key, L"APPDATA", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);

  const bed::RunResult run = RunClient("4");
  const std::string prefs = ReadWideFile(tb + L"\\Profiles\\ab.default\\prefs.js");
  const std::string log = ReadWideFile(app_data + L"\\Postwright.log");
  // The bed cannot name these folders on every code page: they go here.
  for (const std::wstring& file :
       {tb + L"\\Profiles\\ab.default\\prefs.js", tb + L"\\profiles.ini", app_data + L"\\Postwright.log"})
    DeleteFileW(file.c_str());
  for (const std::wstring& folder : {tb + L"\\Profiles\\ab.default", tb + L"\\Profiles", tb, app_data, user})
    RemoveDirectoryW(folder.c_str());

  EXPECT_EQ(0u, run.exit_code) << run.err;
  EXPECT_NE(std::string::npos, prefs.find(".fullName\", \"" + kName + "\");\r\n")) << prefs;
  EXPECT_NE(std::string::npos, log.find("* Configuration Complete at ")) << log;
}

}  // namespace
}  // namespace pw
