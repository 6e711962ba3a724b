// A machine in memory with the program on it, for running whole Postwright
// runs natively: from a command line through the application object, or from
// a plain request through the run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/RunLog.h"
#include "detect/ClientDetection.h"
#include "framework/HeadlessHost.h"
#include "main/ConfigApp.h"
#include "platform/memory/MemoryPlatform.h"
#include "clients/WriterFactory.h"
#include "run/ConfigRun.h"
#include "ui/AboutDlg.h"
#include "ui/ConfigDlg.h"
#include "ui/resource.h"

namespace pw {

// Detection answers chosen by the test, so the dialog's own rules can be
// checked one at a time.
class ScriptedDetection : public ClientDetection {
 public:
  bool IsInstalled(ClientKind kind) override { return installed[ClientNumber(kind)]; }
  int OutlookVersion() override { return outlook_version; }
  RunningClients CheckRunning(Processes&, bool close_running, RunLog& log) override {
    asked_to_close = close_running;
    for (const std::string& line : running_lines) log.Line(line);
    return running;
  }
  DefaultClientCode DefaultClient() override { return default_client; }

  bool installed[kClientCount] = {false, false, false, false, false};
  void Install(ClientKind kind) { installed[ClientNumber(kind)] = true; }
  int outlook_version = -1;
  RunningClients running = RunningClients::kContinue;
  std::vector<std::string> running_lines;
  bool asked_to_close = false;
  DefaultClientCode default_client = 0;
};

constexpr char kAppData[] = "C:\\Users\\jo\\AppData\\Roaming";
constexpr char kLocalAppData[] = "C:\\Users\\jo\\AppData\\Local";
constexpr char kLogPath[] = "C:\\Users\\jo\\AppData\\Roaming\\Postwright.log";
// The stamp of MemoryClock's fixed time.
constexpr char kStamp[] = "14:05:09 on 12/07/08";

using Lines = std::vector<std::string>;

// The record's first lines.
inline Lines Header(bool command_line) {
  return {"Postwright - Quillset Log",
          "-------------------------------------------",
          "",
          std::string(command_line ? "* Beginning Configuration (command line) at " : "* Beginning Configuration at ") +
              kStamp + " *",
          ""};
}

inline Lines NothingInstalled() {
  return {"Searching for Mozilla Thunderbird ... not detected.",
          "Searching for Qualcomm Eudora ... not detected.",
          "Searching for Microsoft Outlook Express ... not detected.",
          "Searching for Microsoft Windows Mail ... not detected.",
          "Searching for Microsoft Outlook ... not detected.",
          ""};
}

inline Lines Join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Plain requests as the command line makes them.
inline RunRequest Explicit(const std::string& display_name, int client, const std::string& user_name) {
  RunRequest request;
  request.mode = RunMode::kExplicit;
  request.display_name = display_name;
  request.client = client;
  request.user_name = user_name;
  return request;
}

inline RunRequest Automatic(const std::string& prefix, std::optional<std::string> search = std::nullopt) {
  RunRequest request;
  request.mode = RunMode::kAutomatic;
  request.prefix = prefix;
  request.search_address = std::move(search);
  return request;
}

const std::vector<int> kRadios = {IDC_CLIENT_OE, IDC_CLIENT_OUTLOOK, IDC_CLIENT_WINMAIL, IDC_CLIENT_EUDORA,
                                  IDC_CLIENT_THUNDERBIRD};

struct RunTestBed {
  RunTestBed() {
    machine.registry.PutText(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", kAppData);
    machine.files.PutFolder(kAppData);
    machine.environment.SetShellLocalAppData(kLocalAppData);
    machine.files.PutFolder(kLocalAppData);
    host.Register(IDD_CONFIG_DIALOG, CConfigDlg::TemplateControls());
    host.Register(IDD_ABOUTBOX, CAboutDlg::TemplateControls());
  }

  // Runs the program with this command line; returns its exit status.
  int Run(const std::string& command_line) {
    CConfigApp app(view, log, detection, *writers, host);
    app.m_lpCmdLine = command_line;
    EXPECT_FALSE(app.InitInstance());
    return app.exit_status();
  }

  // A run without a window, asked with a plain request.
  RunOutcome Unattended(const RunRequest& request) {
    ConfigRun run(view, log, detection, *writers, request);
    return run.Unattended(request);
  }

  std::string Log() const { return machine.files.FileBytes(kLogPath); }

  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    const std::string bytes = Log();
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(bytes.size(), start) << "the log ends in the middle of a line";
    return lines;
  }

  MemoryPlatform machine;
  Platform view = machine.View();
  RunLog log;
  ScriptedDetection detection;
  HeadlessHost host;
  MailClientWriters table_writers;
  // The writers the runs get: the client table's, unless a test gives its own.
  WriterFactory* writers = &table_writers;
};

}  // namespace pw
