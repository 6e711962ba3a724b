#include "Scenarios.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/Text.h"
#include "platform/fault/FaultInjecting.h"
#include "run/Backup.h"
#include "run/BackupManifest.h"
#include "unit/run/RunTestBed.h"

namespace pw {
namespace reliability {

namespace {

std::string Explicit(int client, const std::string& flags = "", const std::string& user = "newuser") {
  return "-n \"Jo Doe\" -c " + std::to_string(client) + " -a " + user + flags;
}

}  // namespace

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> kScenarios = [] {
    std::vector<Scenario> s;
    auto row = [&s](const char* writer, const char* name, const char* machine, const std::string& command_line,
                    int version = -1, DefaultClientCode default_client = 0, bool mapi = false) {
      static std::vector<std::string> lines;  // keeps the texts alive for the rows
      lines.reserve(64);
      lines.push_back(command_line);
      s.push_back({writer, name, machine, lines.back().c_str(), version, default_client, mapi});
    };
    row("Outlook Express", "new account", "oe-empty", Explicit(0));
    row("Outlook Express", "add", "oe-accounts", Explicit(0));
    row("Outlook Express", "rewrite", "oe-accounts", Explicit(0, " -u", "jdoe"));
    row("Outlook Express", "make default", "oe-accounts", Explicit(0, " -d"));
    row("Outlook Express", "automatic rewrite", "oe-accounts", "-auto -p \"QS \" -u", -1, 1);
    row("Outlook 2000 Internet Mail Only", "add", "o2000-imo", Explicit(1), 9);
    row("Outlook 2000 Internet Mail Only", "rewrite", "o2000-imo", Explicit(1, " -u", "jdoe"), 9);
    row("Outlook 2000 Internet Mail Only", "make default", "o2000-imo", Explicit(1, " -d"), 9);
    row("Outlook 2000 Internet Mail Only", "automatic rewrite", "o2000-imo", "-auto -p \"QS \" -u", 9, 2);
    row("Outlook 2000 Corporate/Workgroup", "add with MAPI step", "o2000-cw", Explicit(1), 9, 0, true);
    row("Outlook 2000 Corporate/Workgroup", "make default with MAPI step", "o2000-cw", Explicit(1, " -d"), 9, 0,
        true);
    row("Outlook 2002+", "new account", "o2002-empty", Explicit(1), 11);
    row("Outlook 2002+", "add", "o2002", Explicit(1), 11);
    row("Outlook 2002+", "rewrite", "o2002", Explicit(1, " -u", "jdoe"), 11);
    row("Outlook 2002+", "make default", "o2002", Explicit(1, " -d"), 11);
    row("Outlook 2002+", "automatic rewrite", "o2002", "-auto -p \"QS \" -u", 11, 2);
    row("Outlook 2013+ (Office profile tree)", "add", "o2016", Explicit(1), 16);
    row("Outlook 2013+ (Office profile tree)", "rewrite", "o2016", Explicit(1, " -u", "jdoe"), 16);
    row("Outlook 2013+ (Office profile tree)", "make default", "o2016", Explicit(1, " -d"), 16);
    row("Outlook 2013+ (Office profile tree)", "automatic rewrite", "o2016", "-auto -p \"QS \" -u", 16, 2);
    row("Windows Mail", "new account", "winmail-empty", Explicit(2));
    row("Windows Mail", "add", "winmail-accounts", Explicit(2));
    row("Windows Mail", "rewrite", "winmail-accounts", Explicit(2, " -u", "jdoe"));
    row("Windows Mail", "make default", "winmail-accounts", Explicit(2, " -d"));
    row("Eudora", "new account", "eudora-empty", Explicit(3));
    row("Eudora", "add", "eudora-accounts", Explicit(3));
    row("Eudora", "rewrite", "eudora-accounts", Explicit(3, " -u", "jdoe"));
    row("Thunderbird", "new profile", "thunderbird-none", Explicit(4));
    row("Thunderbird", "add", "thunderbird-accounts", Explicit(4));
    row("Thunderbird", "make default", "thunderbird-accounts", Explicit(4, " -d"));
    row("Thunderbird", "rewrite", "thunderbird-accounts", Explicit(4, " -u", "ann"));
    return s;
  }();
  return kScenarios;
}

namespace {

// The run log stays outside the walk: it is the record the checks read.
class LogBypass : public FileSystem {
 public:
  LogBypass(FileSystem& faulty, FileSystem& clean) : faulty_(faulty), clean_(clean) {}
  Status ReadAll(const std::string& p, std::string* b) override { return For(p).ReadAll(p, b); }
  Status ReadAttributes(const std::string& p, FileAttributes* a) override { return For(p).ReadAttributes(p, a); }
  Status OpenAppend(const std::string& p, OutputFilePtr* o) override { return For(p).OpenAppend(p, o); }
  Status OpenNew(const std::string& p, OutputFilePtr* o) override { return For(p).OpenNew(p, o); }
  Status Replace(const std::string& f, const std::string& t) override { return For(t).Replace(f, t); }
  Status Remove(const std::string& p) override { return For(p).Remove(p); }
  Status MakeFolder(const std::string& p) override { return For(p).MakeFolder(p); }
  Status RemoveFolder(const std::string& p) override { return For(p).RemoveFolder(p); }
  Status List(const std::string& p, std::vector<std::string>* n) override { return For(p).List(p, n); }
  Status Copy(const std::string& f, const std::string& t) override { return For(t).Copy(f, t); }

 private:
  FileSystem& For(const std::string& path) { return EqualsNoCase(path, kLogPath) ? clean_ : faulty_; }
  FileSystem& faulty_;
  FileSystem& clean_;
};



}  // namespace

const Arm kNoFault = [](FaultPlan&, MemoryMapi&) {};

MachineState Stores(MemoryPlatform& machine) {
  MachineState state = Capture(machine);
  state.erase("F " + std::string(kLogPath));
  for (auto it = state.begin(); it != state.end();)
    it = it->first.find(kBackups) != std::string::npos ? state.erase(it) : std::next(it);
  return state;
}

Outcome RunOn(std::shared_ptr<MemoryPlatform> machine, const Scenario& scenario, const std::string& command_line,
              const Arm& arm) {
  static_cast<void>(machine->files.Remove(kLogPath));
  machine->std_out.out.clear();
  machine->std_out.err.clear();
  Outcome outcome;
  outcome.machine = machine;
  outcome.before = Stores(*machine);

  FaultPlan plan;
  FaultInjectingRegistry registry(machine->registry, plan);
  FaultInjectingFileSystem faulty(machine->files, plan);
  LogBypass bypass(faulty, machine->files);
  Platform view{registry, bypass, machine->processes, machine->environment, machine->clock, machine->uuids,
                machine->std_out, machine->mapi};
  RunLog log;
  ScriptedDetection detection;
  for (bool& installed : detection.installed) installed = true;
  detection.outlook_version = scenario.outlook_version;
  detection.default_client = scenario.default_client;
  HeadlessHost host;
  host.Register(IDD_CONFIG_DIALOG, CConfigDlg::TemplateControls());
  MailClientWriters writers;
  arm(plan, machine->mapi);

  CConfigApp app(view, log, detection, writers, host);
  app.m_lpCmdLine = command_line;
  app.InitInstance();
  outcome.exit_status = app.exit_status();
  outcome.mutations = plan.mutations();
  outcome.died = plan.dead();
  outcome.out = machine->std_out.out;
  outcome.err = machine->std_out.err;
  machine->mapi.ClearFailures();  // the next run's MAPI works again
  outcome.after = Stores(*machine);
  const std::vector<std::string> backups = Backup::List(machine->files, std::string(kBackups) + "\\Backups");
  if (!backups.empty()) {
    const BackupManifest manifest = ReadBackupManifest(machine->files.FileBytes(backups.back() + "\\manifest.txt"));
    outcome.backup_complete = manifest.finished;
    for (const BackupItem& item : manifest.items) outcome.backup_complete = outcome.backup_complete && item.after_known;
  }
  std::istringstream lines(machine->files.FileBytes(kLogPath));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) outcome.closing = line;
    if (line.rfind("Unable to write the detection marker", 0) == 0) outcome.marker_unwritten = true;
    if ((line.find("error code") != std::string::npos && line.find("112") != std::string::npos) ||
        line.find("hRes = 0x80004005") != std::string::npos ||
        line.find("hRes = 0x80070070") != std::string::npos)  // 112 as MAPI answers it
      outcome.names_the_fault = true;
  }
  return outcome;
}

Outcome RunScenario(const Scenario& scenario, const Arm& arm) {
  auto machine = std::make_shared<MemoryPlatform>();
  SeedMachine(*machine, scenario.machine);
  return RunOn(machine, scenario, scenario.command_line, arm);
}


}  // namespace reliability
}  // namespace pw
