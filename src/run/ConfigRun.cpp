#include "run/ConfigRun.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "app/AddressRules.h"
#include "app/AppDataFolder.h"
#include "app/AppPaths.h"
#include "app/ProviderSettings.h"
#include "app/Version.h"
#include "clients/ClientTexts.h"
#include "clients/MailClients.h"
#include "run/ChangeListing.h"
#include "run/RestoreRun.h"

namespace pw {

const char kMarkerKey[] = "Software\\Quillset\\Postwright";

namespace {

std::optional<std::string> BackupsFolder(Environment& environment) {
  std::string local;
  if (environment.ShellLocalAppDataFolder(&local) || local.empty()) return std::nullopt;
  return local + "\\" + kBackupsFolder;
}

}  // namespace

// The stores as this run sees them: through a what-if platform, or through
// the journal that keeps the backup; settings files guarded against changes
// by others either way.
ConfigRun::ConfigRun(Platform& platform, RunLog& log, ClientDetection& detection, WriterFactory& writers,
                     const RunRequest& start)
    : platform_(platform),
      backups_(BackupsFolder(platform.environment)),
      log_(log),
      detection_(detection),
      writers_(writers),
      mode_(start.mode),
      close_running_(start.close_running) {
  std::unique_ptr<Platform> base = std::make_unique<Platform>(platform);
  if (start.what_if) {
    what_if_ = std::make_unique<WhatIfPlatform>(platform);
    base = std::make_unique<Platform>(what_if_->View());
  } else if (start.mode != RunMode::kRestore) {
    backup_ = std::make_unique<Backup>(platform.files, platform.registry, platform.clock, backups_);
    journal_registry_ = std::make_unique<JournalingRegistry>(platform.registry, *backup_);
    journal_files_ = std::make_unique<JournalingFileSystem>(platform.files, *backup_);
    journal_mapi_ = std::make_unique<WatchedMapi>(platform.mapi, *backup_, false);
    base = std::make_unique<Platform>(Platform{*journal_registry_, *journal_files_, platform.processes,
                                               platform.environment, platform.clock, platform.uuids,
                                               platform.std_out, *journal_mapi_});
  }
  guard_ = std::make_unique<ChangeDetectingFileSystem>(base->files);
  stores_ = std::make_unique<Platform>(Platform{base->registry, *guard_, base->processes, base->environment,
                                                base->clock, base->uuids, base->std_out, base->mapi});
}

ConfigRun::~ConfigRun() = default;

RunStart ConfigRun::Begin() {
  RunStart start;
  default_client_ = kNoDefaultClient;
  // A run without a window goes straight on to the stores (and with "-x" to
  // closing the clients), so it waits for another run before anything else,
  // which keeps the two records in the log apart too.
  if (!HasWindow())
    stores_lock_status_ = platform_.processes.HoldMutex(kStoresMutexName, kStoresWaitMs, &stores_lock_);

  // Without a log the run goes on: every write is dropped.
  log_.WriteInCodePageOf(platform_.environment);
  if (log_.OpenIn(platform_.files, platform_.clock, AppDataFolders(platform_.registry, platform_.environment)) ==
      err::kSuccess)
    log_path_ = log_.path();
  log_.WriteHeader(!HasWindow());
  if (what_if_) {
    log_.Line("This is a what-if run: it changes nothing but this log.");
    log_.BlankLine();
  }
  RunOutcome outcome;
  if (!HasWindow() && !HoldClientStores(&outcome)) {
    start.ended = outcome;
    return start;
  }

  DetectInstalledClients(&start);
  if (StopForRunningClients(&outcome)) {
    start.ended = outcome;
    return start;
  }
  DetectDefault(&start);
  return start;
}

void ConfigRun::DetectInstalledClients(RunStart* start) {
  std::vector<const MailClient*> probes;
  for (const MailClient& client : MailClients()) probes.push_back(&client);
  std::sort(probes.begin(), probes.end(),
            [](const MailClient* a, const MailClient* b) { return a->probe_position < b->probe_position; });

  for (const MailClient* client : probes) {
    const ClientKind kind = client->marks.kind;
    log_ << "Searching for " << client->name << " ... ";
    const bool installed = detection_.IsInstalled(kind);
    start->installed[ClientNumber(kind)] = installed;
    if (!client->has_version) {
      log_.Line(installed ? "found." : "not detected.");
      continue;
    }
    if (installed) {
      outlook_version_ = detection_.OutlookVersion();
      log_ << "found. (Version " << outlook_version_ << ")";
    } else {
      log_ << "not detected.";
    }
    log_.EndLine();
    log_.BlankLine();
  }
}

bool ConfigRun::StopForRunningClients(RunOutcome* outcome) {
  if (detection_.CheckRunning(stores_->processes, close_running_, log_) == RunningClients::kContinue) return false;
  outcome->ended_early = true;
  outcome->message = "Please exit all running email clients, and then restart Postwright.";
  outcome->description = "Running Email Client Detected. Closing.";
  outcome->exit_status = exit_status::kClientRunning;
  log_.Line(outcome->description);
  log_.BlankLine();
  log_.WriteClosing(what_if_ ? Closing::kWhatIf : Closing::kTerminatedAutomatically);
  ended_ = Ended(*outcome);
  *outcome = *ended_;
  return true;
}

void ConfigRun::DetectDefault(RunStart* start) {
  default_client_ = detection_.DefaultClient();
  log_ << "Detecting default e-mail client ... ";
  if (!HasWindow()) {
    log_.Line("done.");
    log_.BlankLine();
    return;
  }
  const std::optional<ClientKind> kind = ClientKindFromDefaultCode(default_client_);
  if (kind && start->installed[ClientNumber(*kind)]) {
    start->preselected = kind;
    log_.Line("found. (" + ClientName(*kind) + ")");
  } else {
    log_.Line("unrecognized.");
  }
  log_.BlankLine();
}

bool ConfigRun::HoldClientStores(RunOutcome* outcome) {
  if (ended_) {
    *outcome = *ended_;
    return false;
  }
  if (!stores_lock_ && stores_lock_status_ == err::kSuccess)
    stores_lock_status_ = platform_.processes.HoldMutex(kStoresMutexName, kStoresWaitMs, &stores_lock_);
  if (stores_lock_status_ == err::kSuccess) return true;
  const std::string description =
      stores_lock_status_ == err::kWaitTimeout
          ? "Another Postwright run was configuring an email client and did not finish within " +
                std::to_string(kStoresWaitMs / 1000) + " seconds; nothing was changed."
          : "Postwright could not make sure that no other run is configuring an email client (error code " +
                std::to_string(stores_lock_status_) + "); nothing was changed.";
  outcome->ended_early = true;
  outcome->message = description;
  const bool busy = stores_lock_status_ == err::kWaitTimeout;
  FailAutomatic(busy ? "busy" : "noLock", description, outcome);
  if (busy) outcome->exit_status = exit_status::kBusy;
  ended_ = *outcome;
  return false;
}

RunOutcome ConfigRun::Configure(const RunRequest& run) {
  RunOutcome outcome;
  if (!HoldClientStores(&outcome)) return outcome;
  AccountRequest request;
  AutomaticPrefix automatic_prefix;
  int client = run.client;
  const bool automatic = mode_ == RunMode::kAutomatic;
  if (automatic) {
    if (!FindAutomaticAccount(run, &request, &client, &outcome)) return outcome;
    automatic_prefix = run.prefix;
  } else {
    request.address = run.user_name + kProvider.mail_domain;
    request.display_name = run.display_name;
  }
  request.make_default = run.make_default;
  request.overwrite = run.overwrite;
  const std::optional<ClientKind> kind = ClientKindFromNumber(client);
  std::unique_ptr<AccountWriter> writer =
      kind ? writers_.MakeWriter(*kind, Context(), request, automatic_prefix) : nullptr;

  log_.Line((automatic ? "Default E-Mail Address: " : "User Entered E-Mail Address: ") + request.address);
  log_.Line((automatic ? "Default Display Name: " : "User Entered Display Name: ") + request.display_name);
  log_.Line(std::string("Make Account Default: ") + (request.make_default ? "Yes" : "No"));
  log_.Line(std::string("Overwrite Existing Account: ") + (request.overwrite ? "Yes" : "No"));

  ConfigureResult result = result::kNoWriter;
  if (writer) {
    log_.Line("Client Selected to Configure: " + ClientName(*kind));
    log_.BlankLine();
    result = writer->Configure();
  }
  writer.reset();
  if (result == result::kConfigured) WriteMarker(*kind, request.address);
  FinishChanges(result == result::kConfigured);
  stores_lock_.reset();
  ReportOutcome(result, client, &outcome);
  return outcome;
}

// Deployment tools tell a user who is done by this key. Written only after a
// run that configured; a failed run leaves an earlier success's marker alone.
// A marker that cannot be written costs the next run of the tool, not the
// account: the log says so and the run stays configured.
void ConfigRun::WriteMarker(ClientKind kind, const std::string& address) {
  Registry& registry = stores_->registry;
  const std::string configured = TimeText(platform_.clock.Now());
  RegKeyPtr key;
  Status status = registry.CreateKey(RegRoot::kCurrentUser, kMarkerKey, RegAccess::kAllAccess, &key);
  // "Version", the value a detection rule asks for, goes last: a marker cut
  // off halfway is no marker of this version.
  const std::pair<const char*, RegValue> values[] = {
      {"Configured", RegValue{regtype::kSz, configured + '\0'}},
      {"Client", RegValue{regtype::kDword, RegDwordBytes(static_cast<uint32_t>(ClientNumber(kind)))}},
      {"Address", RegValue{regtype::kSz, address + '\0'}},
      {"Version", RegValue{regtype::kSz, std::string(POSTWRIGHT_VERSION) + '\0'}},
  };
  for (const auto& value : values)
    if (!status) status = key->SetValue(value.first, value.second.type, value.second.data);
  if (status) log_.Line("Unable to write the detection marker (error code: " + std::to_string(status) + ").");
}

void ConfigRun::ReportOutcome(ConfigureResult result, int client, RunOutcome* outcome) {
  const std::optional<ClientKind> kind = ClientKindFromNumber(client);
  outcome->result = result;
  outcome->configured = result == result::kConfigured;
  outcome->log_path = log_path_;
  if (outcome->configured) {
    log_.Line(what_if_ ? "Email Client Configuration would succeed." : "Email Client Configuration Successful!");
    log_.BlankLine();
    outcome->message = SuccessText(*kind);
    outcome->exit_status = exit_status::kConfigured;
    log_.WriteClosing(ClosingOf(true));
    return;
  }
  const std::string text = kind ? ErrorText(*kind, result) : UnknownClientText(client);
  outcome->message = text;
  const std::string failed = "Email Client Configuration failed with error code: " + std::to_string(result);
  outcome->description = text.empty() ? failed : text;
  outcome->exit_status = exit_status::kFailed;
  log_.Line(failed);
  log_.Line("Description: " + text);
  if (kind && MailClientOf(*kind).failure_listing) MailClientOf(*kind).failure_listing(result, Context());
  log_.WriteClosing(ClosingOf(false));
}

bool ConfigRun::FindAutomaticAccount(const RunRequest& run, AccountRequest* request, int* client,
                                     RunOutcome* outcome) {
  log_.Line("Automatically Configuring from default email client's default account.");
  const std::optional<ClientKind> kind = ClientKindFromDefaultCode(default_client_);
  // Only a client whose accounts can be looked up can be rewritten.
  const std::unique_ptr<AccountLookup> lookup = kind ? writers_.MakeLookup(*kind, Context()) : nullptr;
  if (!lookup) {
    FailAutomatic("unsupportedDef", "The system's default email client is not supported by Postwright.", outcome);
    return false;
  }
  const std::optional<std::string>& search = run.search_address;
  const std::optional<std::string> key = search ? lookup->FindAcctByText(*search) : lookup->GetDefAcct();
  const std::optional<std::string> address = lookup->GetAcctAddr(key);
  const std::optional<std::string> display_name = lookup->GetAcctDisplayName(key);
  if (!key && search) {
    FailAutomatic("noDefault",
                  "The system's default email client's default account could not be identified using your search "
                  "criteria.",
                  outcome);
    return false;
  }
  if (!address) {
    FailAutomatic("defaultDNE", "The system's default email client's default account no longer exists.", outcome);
    return false;
  }
  // The address becomes a key name and a settings line: it must be plain text.
  if (const std::optional<std::string> fault = StoredAddressFault(*address)) {
    FailAutomatic("unusableAddr",
                  "The e-mail address of the system's default email client's default account " + *fault +
                      ", so it cannot be rewritten.",
                  outcome);
    return false;
  }
  // A client whose account is rewritten in place must not lose another
  // provider's account that merely is its default: only the administrator's
  // search text may choose one.
  if (!search && MailClientOf(*kind).rewrites_in_place &&
      !IsProvidersAccount(*address, lookup->GetAcctIncomingServer(key), kProvider)) {
    FailAutomatic("notProvider",
                  "The system's default email client's default account is not a Quillset account. Nothing was "
                  "changed.",
                  outcome);
    return false;
  }
  request->address = *address;
  request->display_name = display_name.value_or("");
  request->account_key = key;
  *client = ClientNumber(*kind);
  return true;
}

void ConfigRun::FailAutomatic(const std::string& error, const std::string& description, RunOutcome* outcome) {
  outcome->description = description;
  outcome->exit_status = exit_status::kFailed;
  outcome->log_path = log_path_;
  log_.Line("Email Client Configuration failed with error : " + error);
  log_.Line("Description: " + description);
  log_.WriteClosing(ClosingOf(false));
}

RunOutcome ConfigRun::Unattended(const RunRequest& request) {
  const RunStart start = Begin();
  if (start.ended) return *start.ended;
  return mode_ == RunMode::kRestore ? Restore() : Configure(request);
}

Closing ConfigRun::ClosingOf(bool ok) const {
  if (what_if_) return Closing::kWhatIf;
  return ok ? Closing::kComplete : Closing::kFailed;
}

// A what-if run lists what it would have changed, in the log and on
// standard output; a real one finishes its backup.
void ConfigRun::FinishChanges(bool configured) {
  if (what_if_) {
    const std::vector<std::string> lines = DescribeChanges(what_if_->Changes(), platform_.environment);
    const std::string heading = lines.empty() ? "The run would change nothing." : "The run would make these changes:";
    log_.Line(heading);
    std::string out = "Postwright: " + heading + "\n";
    for (const std::string& line : lines) {
      log_.Line(line);
      out += line + "\n";
    }
    log_.BlankLine();
    platform_.std_out.Out(out);
    return;
  }
  if (!backup_) return;
  backup_->Finish();
  if (!backup_->available() && configured)
    log_.Line("No backup was kept: the user's local application data folder is not known.");
}

RunOutcome ConfigRun::Restore() {
  RunOutcome outcome;
  if (!HoldClientStores(&outcome)) return outcome;
  const RestoreReport report = RestoreRun(*stores_, backups_).Restore();
  FinishChanges(false);
  stores_lock_.reset();
  ReportRestore(report, &outcome);
  return outcome;
}

void ConfigRun::ReportRestore(const RestoreReport& report, RunOutcome* outcome) {
  outcome->log_path = log_path_;
  if (!report.backup.empty())
    log_.Line("Restoring the changes of the run started at " + report.started + " (" + report.backup + ").");
  for (const std::string& line : report.restored) log_.Line(line);
  for (const std::string& line : report.kept) log_.Line("Kept: " + line);
  for (const std::string& line : report.failed) log_.Line(line);
  log_.BlankLine();
  if (report.restored.empty() && report.kept.empty() && report.failed.empty()) {
    outcome->description = report.backup.empty() ? "There is no backup of a run to restore."
                                                 : "Nothing is left to restore.";
  } else if (!report.kept.empty() || !report.failed.empty()) {
    outcome->description = "Not everything was restored:";
    for (const std::string& line : report.kept) outcome->description += " " + line;
    for (const std::string& line : report.failed) outcome->description += " " + line;
  }
  outcome->configured = outcome->description.empty();
  outcome->exit_status = outcome->configured ? exit_status::kConfigured : exit_status::kFailed;
  if (outcome->configured) {
    log_.Line(what_if_ ? "Restore would succeed." : "Restore Successful!");
    outcome->message = "The changes of the last run were taken back.";
  } else {
    log_.Line("Restore failed: " + outcome->description);
    outcome->message = outcome->description;
  }
  log_.BlankLine();
  log_.WriteClosing(ClosingOf(outcome->configured));
}

void ConfigRun::Cancel() {
  if (log_.IsOpen()) log_.WriteClosing(Closing::kTerminatedByUser);
}

void ConfigRun::Launch(ClientKind kind) {
  const std::string program = RegisteredProgramPath(platform_.registry, platform_.environment,
                                                    MailClientOf(kind).marks.program)
                                  .value_or("");
  if (log_.Reopen() == err::kSuccess) {
    log_.Line("Email client path to start is : " + program);
    log_.BlankLine();
    log_.Close();
  }
  // A client that cannot be started is not reported: the window closes anyway.
  if (!program.empty()) static_cast<void>(platform_.processes.Start(program, "\"" + program + "\""));
}

WriterContext ConfigRun::Context() { return WriterContext{*stores_, log_, outlook_version_}; }

RunOutcome ConfigRun::Ended(RunOutcome outcome) const {
  outcome.log_path = log_path_;
  return outcome;
}

}  // namespace pw
