// The program's entry: the real machine, the run log, the application object.
#include <windows.h>
#include <commctrl.h>

#include "app/RunLog.h"
#include "detect/SystemClientDetection.h"
#include "framework/win32/Win32DialogHost.h"
#include "main/ConfigApp.h"
#include "platform/win32/Win32Platform.h"
#include "ui/MailClients.h"
#include "ui/WriterFactory.h"

namespace {

pw::Win32Platform machine;
pw::Platform platform = machine.View();
// The one process-wide run log, handed to the dialog and the writers.
pw::RunLog run_log;
pw::SystemClientDetection detection(platform.registry, platform.processes, pw::MailClientMarks());
pw::MailClientWriters writers(platform, run_log);
pw::Win32DialogHost dialog_host;
pw::CConfigApp theApp(platform, run_log, detection, writers, dialog_host);

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  theApp.m_lpCmdLine = command_line ? command_line : "";
  theApp.InitInstance();
  return theApp.exit_status();
}
