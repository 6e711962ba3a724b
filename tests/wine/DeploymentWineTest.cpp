// What an administrator's tools see of Postwright.exe: the version resource
// that inventories read, and the one line on standard error that says why an
// unattended run did not configure (and nothing when it did). The usage line
// at a console is check-console-usage.sh's.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "DummyProgram.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

const char kAccounts[] = "Software\\Microsoft\\Internet Account Manager\\Accounts";

// Outlook Express installed, as the default client, with its account list.
void SeedOutlookExpress() {
  bed::SeedText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail\\Outlook Express", "", "Outlook Express");
  bed::SeedText(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", "",
                "\"C:\\Program Files\\Outlook Express\\msimn.exe\" /mailurl:%1");
  bed::SeedKey(HKEY_CURRENT_USER, kAccounts);
}

std::string VersionText(const std::vector<char>& info, const std::string& name) {
  char* text = nullptr;
  UINT length = 0;
  const std::string path = "\\StringFileInfo\\040904b0\\" + name;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return "(none)";
  return std::string(text);
}

using DeploymentWineTest = WineTest;

TEST_F(DeploymentWineTest, VersionResourceNamesTheProgramAndItsVersion) {
  const std::string exe = bed::PostwrightPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  ASSERT_NE(0u, size) << GetLastError();
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(POSTWRIGHT_PROJECT_VERSION, version);
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);

  EXPECT_EQ("Postwright", VersionText(info, "ProductName"));
  EXPECT_EQ(POSTWRIGHT_PROJECT_VERSION, VersionText(info, "ProductVersion"));
  EXPECT_EQ(POSTWRIGHT_PROJECT_VERSION, VersionText(info, "FileVersion"));
  EXPECT_EQ("Postwright.exe", VersionText(info, "OriginalFilename"));
  EXPECT_EQ("Postwright", VersionText(info, "InternalName"));
  EXPECT_EQ("Postwright: puts a Quillset mail account into the user's mail client",
            VersionText(info, "FileDescription"));
}

TEST_F(DeploymentWineTest, UnattendedRunSaysOnStandardErrorWhyItDidNotConfigure) {
  SeedOutlookExpress();
  const std::string log = " (log: " + bed::LogPath() + ")\n";

  // Configured: nothing on either stream.
  bed::RunResult run = bed::RunPostwright("-n \"Jo Doe\" -c 0 -a jdoe");
  EXPECT_EQ(0u, run.exit_code);
  EXPECT_EQ("", run.err);
  EXPECT_EQ("", run.out);

  // Failed: the description the log gives.
  run = bed::RunPostwright("-n \"Jo Doe\" -c 0 -a jdoe");
  EXPECT_EQ(1u, run.exit_code);
  EXPECT_EQ("Postwright: ERROR: Account was already found, no changes have been made." + log, run.err);
  run = bed::RunPostwright("-auto -p \"QS \" -s \"nobody\"");
  EXPECT_EQ(1u, run.exit_code);
  EXPECT_EQ(
      "Postwright: The system's default email client's default account could not be identified using your search "
      "criteria." + log,
      run.err);

  // Stopped by a running client.
  const bed::DummyProgram thunderbird("thunderbird.exe");
  ASSERT_TRUE(thunderbird.started());
  run = bed::RunPostwright("-auto -p \"QS \"");
  EXPECT_EQ(3u, run.exit_code);
  EXPECT_EQ("Postwright: Running Email Client Detected. Closing." + log, run.err);
  EXPECT_EQ("", run.out);
}

}  // namespace
}  // namespace pw
