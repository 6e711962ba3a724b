// The program's entry: the real machine, the run log, the application object.
#include <windows.h>

#include <string>

#include "app/RunLog.h"
#include "detect/SystemClientDetection.h"
#include "framework/win32/Win32DialogHost.h"
#include "main/ConfigApp.h"
#include "platform/Text.h"
#include "platform/win32/Win32Platform.h"
#include "clients/MailClients.h"
#include "clients/WriterFactory.h"

namespace {

pw::Win32Platform machine;
// The run puts its own layers over the machine: the what-if platform or the
// backup's journal, and the guard of the settings files.
pw::Platform platform{machine.registry, machine.files, machine.processes, machine.environment,
                      machine.clock,    machine.uuids, machine.std_out,   machine.mapi};
// The one process-wide run log, handed to the dialog and the writers.
pw::RunLog run_log;
pw::SystemClientDetection detection(platform.registry, pw::MailClientMarks());
pw::MailClientWriters writers;
pw::Win32DialogHost dialog_host;
pw::CConfigApp theApp(platform, run_log, detection, writers, dialog_host);

// What follows the program's name on the wide command line, as UTF-8: the
// ANSI command line would have turned every character outside the system's
// code page into "?". The program's name ends at its closing quote, or at the
// first blank when it is not quoted; the blanks after it are not arguments.
std::string ArgumentsOf(const wchar_t* line) {
  if (!line) return std::string();
  const wchar_t* p = line;
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  const std::wstring rest(p);
  return pw::Utf16ToUtf8(std::u16string(rest.begin(), rest.end()));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  theApp.m_lpCmdLine = ArgumentsOf(GetCommandLineW());
  theApp.InitInstance();
  return theApp.exit_status();
}
