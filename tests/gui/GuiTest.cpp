// The real dialog under Wine on an X display: found by its Hebrew caption,
// driven through its controls the way a user's clicks and keystrokes reach it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WineBed.h"
#include "ui/resource.h"

namespace pw {
namespace {

const wchar_t kCaption[] = L"\u05d4\u05d2\u05d3\u05e8\u05d5\u05ea \u05d3\u05d5\u05d0\u05e8 "
                           L"\u05d0\u05dc\u05e7\u05d8\u05e8\u05d5\u05e0\u05d9";  // E-mail settings

const char kMail[] = "SOFTWARE\\Clients\\Mail";

class Dialog : public ::testing::Test {
 protected:
  void SetUp() override { bed::Reset(); }
  void TearDown() override {
    if (process_) {
      if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 9);
      CloseHandle(process_);
    }
    bed::Reset();
  }

  // Starts Postwright.exe without arguments and waits for its window.
  void Open() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Wine now and then fails a start with ERROR_INTERNAL_ERROR; try again.
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
      std::string command = "\"" + bed::PostwrightPath() + "\"";
      started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
      if (!started && GetLastError() != ERROR_INTERNAL_ERROR) break;
      if (!started) Sleep(200);
    }
    ASSERT_TRUE(started) << GetLastError();
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    for (int i = 0; i < 900 && !window_; ++i) {
      window_ = FindWindowW(nullptr, kCaption);
      if (!window_) Sleep(100);
    }
    ASSERT_NE(nullptr, window_) << "the dialog with the Hebrew caption did not appear";
    // The window exists before its initialisation has run; wait until the
    // program waits for input.
    EXPECT_EQ(0u, WaitForInputIdle(process_, 30000));
  }

  HWND Item(int id) { return GetDlgItem(window_, id); }
  bool Enabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }
  bool Visible(int id) { return IsWindowVisible(Item(id)) != FALSE; }
  bool Checked(int id) { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  // Setting an edit box's text reports the change to the dialog as typing does.
  void Type(int id, const wchar_t* text) { SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
  // A user cannot click a disabled or hidden button.
  // A key press in a control goes through the dialog's own keyboard handling.
  void PressEnter(int id) {
    PostMessageW(Item(id), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(Item(id), WM_KEYUP, VK_RETURN, 0xC01C0001);
  }
  void Click(int id) {
    if (Enabled(id) && Visible(id)) SendMessageW(Item(id), BM_CLICK, 0, 0);
  }

  // Asks the script around this test for a screenshot and waits for it.
  void Screenshot(const std::string& name) {
    char folder[MAX_PATH];
    if (!GetEnvironmentVariableA("PW_SHOT_DIR", folder, sizeof folder)) return;
    UpdateWindow(window_);
    Sleep(500);
    const std::string ready = std::string(folder) + "\\" + name + ".ready";
    bed::SeedFile(ready, "");
    for (int i = 0; i < 150 && bed::PathExists(ready); ++i) Sleep(100);
    EXPECT_FALSE(bed::PathExists(ready)) << "no screenshot was taken";
  }

  DWORD WaitForExit() {
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process_, 20000));
    DWORD code = 259;
    GetExitCodeProcess(process_, &code);
    return code;
  }

  HANDLE process_ = nullptr;
  HWND window_ = nullptr;
};

TEST_F(Dialog, SaveWaitsForBothNamesAndAClientAndCancelEndsTheRecord) {
  bed::SeedKey(HKEY_LOCAL_MACHINE, std::string(kMail) + "\\Outlook Express");
  bed::SeedKey(HKEY_LOCAL_MACHINE, std::string(kMail) + "\\Mozilla Thunderbird");
  Open();

  const LONG exstyle = GetWindowLongW(window_, GWL_EXSTYLE);
  EXPECT_TRUE(exstyle & WS_EX_RTLREADING) << "laid out right to left";
  EXPECT_TRUE(exstyle & WS_EX_RIGHT);
  EXPECT_TRUE(Enabled(IDC_CLIENT_OE));
  EXPECT_TRUE(Enabled(IDC_CLIENT_THUNDERBIRD));
  EXPECT_FALSE(Enabled(IDC_CLIENT_OUTLOOK)) << "not installed";
  EXPECT_FALSE(Enabled(IDC_CLIENT_WINMAIL));
  EXPECT_FALSE(Enabled(IDC_CLIENT_EUDORA));
  EXPECT_TRUE(Checked(IDC_OVERWRITE));
  EXPECT_FALSE(Visible(IDC_LAUNCH));
  EXPECT_FALSE(Visible(IDC_ABOUT));

  EXPECT_FALSE(Enabled(IDC_SAVE));
  Type(IDC_DISPLAY_NAME, L"Jo Doe");
  EXPECT_FALSE(Enabled(IDC_SAVE));
  Type(IDC_USER_NAME, L"jdoe");
  EXPECT_FALSE(Enabled(IDC_SAVE)) << "no client chosen yet";
  Click(IDC_CLIENT_OE);
  EXPECT_TRUE(Checked(IDC_CLIENT_OE));
  EXPECT_TRUE(Enabled(IDC_SAVE));
  Click(IDC_CLIENT_EUDORA);  // disabled: nothing happens
  EXPECT_TRUE(Checked(IDC_CLIENT_OE));
  Type(IDC_USER_NAME, L"");
  EXPECT_FALSE(Enabled(IDC_SAVE));
  Type(IDC_USER_NAME, L"jdoe");
  EXPECT_TRUE(Enabled(IDC_SAVE));
  Screenshot("dialog");

  Click(IDCANCEL);
  EXPECT_EQ(0u, WaitForExit());
  const std::vector<std::string> lines = bed::LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(0u, lines[lines.size() - 2].find("* Configuration Incomplete. Terminated by user at ")) << lines[lines.size() - 2];
  EXPECT_EQ("", lines.back());
  EXPECT_EQ("Detecting default e-mail client ... unrecognized.", lines[11]);
}

TEST_F(Dialog, DefaultClientIsPreselected) {
  bed::SeedKey(HKEY_LOCAL_MACHINE, std::string(kMail) + "\\Mozilla Thunderbird");
  bed::SeedText(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", "",
                "\"C:\\Program Files\\Mozilla Thunderbird\\thunderbird.exe\" -osint -compose \"%1\"");
  Open();
  EXPECT_TRUE(Checked(IDC_CLIENT_THUNDERBIRD));
  EXPECT_FALSE(Enabled(IDC_SAVE)) << "nothing typed yet";
  Type(IDC_DISPLAY_NAME, L"Jo Doe");
  Type(IDC_USER_NAME, L"jdoe");
  EXPECT_TRUE(Enabled(IDC_SAVE));
  SendMessageW(window_, WM_CLOSE, 0, 0);  // the close box cancels too
  EXPECT_EQ(0u, WaitForExit());
  const std::vector<std::string> lines = bed::LogLines();
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ("Detecting default e-mail client ... found. (Mozilla Thunderbird)", lines[11]);
  EXPECT_EQ(0u, lines[lines.size() - 2].find("* Configuration Incomplete. Terminated by user at "));
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

TEST_F(Dialog, EnterSavesOnlyWhenSaveIsEnabled) {
  bed::SeedKey(HKEY_LOCAL_MACHINE, std::string(kMail) + "\\Outlook Express");
  Open();
  Type(IDC_DISPLAY_NAME, L"Jo Doe");
  ASSERT_FALSE(Enabled(IDC_SAVE));
  PressEnter(IDC_DISPLAY_NAME);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(process_, 1500)) << "the window closed";
  EXPECT_TRUE(Visible(IDC_SAVE)) << "nothing was saved";

  Type(IDC_USER_NAME, L"jdoe");
  Click(IDC_CLIENT_OE);
  ASSERT_TRUE(Enabled(IDC_SAVE));
  PressEnter(IDC_USER_NAME);
  for (int i = 0; i < 50 && Visible(IDC_SAVE); ++i) Sleep(100);
  EXPECT_FALSE(Visible(IDC_SAVE)) << "Enter pressed Save";
  // Outlook Express has never been set up here: the writer fails, the record is closed.
  Click(IDCANCEL);
  EXPECT_EQ(0u, WaitForExit());
  const std::vector<std::string> lines = bed::LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(0u, lines[lines.size() - 2].find("* Configuration Failed at ")) << lines[lines.size() - 2];
}

}  // namespace
}  // namespace pw
