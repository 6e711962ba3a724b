#include "ui/ConfigDlg.h"

#include <algorithm>

#include "app/AddressRules.h"
#include "app/AppDataFolder.h"
#include "app/ProviderSettings.h"
#include "clients/registry/OutlookProfiles.h"
#include "ui/AboutDlg.h"
#include "ui/ClientTexts.h"
#include "ui/MailClients.h"
#include "ui/resource.h"

namespace pw {

namespace {

const char kMessagesKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";

// The radio group in tab order: the index is the ClientKind's number.
std::vector<int> ClientRadios() {
  std::vector<int> radios;
  for (const MailClient& client : MailClients()) radios.push_back(client.radio_id);
  return radios;
}

// The failures that point at a broken or missing mail profile, which the log
// then lists.
bool PointsAtTheProfile(ConfigureResult result) {
  return result == result::kProfileUnreadable || result == result::kNotRunYet;
}

// The first occurrence of a placeholder is replaced by its environment variable;
// an unset variable leaves the placeholder as it is.
std::string ExpandPlaceholder(std::string path, const std::string& placeholder, const std::string& variable,
                              Environment& environment) {
  const size_t at = path.find(placeholder);
  std::string value;
  if (at != std::string::npos && environment.Variable(variable, &value)) path.replace(at, placeholder.size(), value);
  return path;
}

}  // namespace

CConfigDlg::CConfigDlg(Platform& platform, RunLog& log, ClientDetection& detection, WriterFactory& writers,
                       DialogHost* host, const RunOptions& options)
    : CDialog(IDD_CONFIG_DIALOG, host),
      make_default_(options.make_default ? 1 : 0),
      overwrite_(options.overwrite ? 1 : 0),
      platform_(platform),
      log_(log),
      detection_(detection),
      writers_(writers),
      options_(options) {}

std::vector<ControlSpec> CConfigDlg::TemplateControls() {
  std::vector<ControlSpec> controls = {
      {IDC_MESSAGE, "(message)"},
      {IDC_CHOOSE_LABEL, "(choose)"},
      {IDC_USER_NAME_LABEL, "(user name)"},
      {IDC_MAKE_DEFAULT, "(make default)"},
      {IDC_OVERWRITE, "(overwrite)"},
      {IDC_SAVE, "(save)", true, false},
      {kIdCancel, "(cancel)"},
      {IDC_DISPLAY_NAME_LABEL, "(display name)"},
      {IDC_FRAME, "Static", false, true},
      {IDC_DISPLAY_NAME, ""},
      {IDC_USER_NAME, ""},
      {IDC_DETAILS_LABEL, "(details)"},
      {IDC_ABOUT, "About", false, true},
      {IDC_LAUNCH, "Launch my email client immediately", false, true},
  };
  for (const MailClient& client : MailClients()) controls.push_back({client.radio_id, client.caption});
  return controls;
}

void CConfigDlg::DoDataExchange(CDataExchange& dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_OVERWRITE, overwrite_box_);
  DDX_Control(dx, IDC_LAUNCH, launch_box_);
  DDX_Control(dx, IDC_ABOUT, about_button_);
  DDX_Control(dx, IDC_CHOOSE_LABEL, choose_label_);
  DDX_Control(dx, IDC_DISPLAY_NAME_LABEL, display_name_label_);
  DDX_Control(dx, IDC_USER_NAME_LABEL, user_name_label_);
  DDX_Control(dx, IDC_DETAILS_LABEL, details_label_);
  for (const MailClient& client : MailClients())
    DDX_Control(dx, client.radio_id, radios_[ClientNumber(client.marks.kind)]);
  DDX_Control(dx, IDC_MESSAGE, message_);
  DDX_Control(dx, IDC_MAKE_DEFAULT, make_default_box_);
  DDX_Control(dx, IDC_DISPLAY_NAME, display_name_edit_);
  DDX_Control(dx, IDC_USER_NAME, user_name_edit_);
  DDX_Control(dx, IDC_SAVE, save_button_);
  DDX_Control(dx, kIdCancel, cancel_button_);
  DDX_Text(dx, IDC_USER_NAME, user_name_);
  DDX_Check(dx, IDC_MAKE_DEFAULT, make_default_);
  DDX_Text(dx, IDC_DISPLAY_NAME, display_name_);
  DDX_Radio(dx, ClientRadios(), selected_client_);
  DDX_Check(dx, IDC_LAUNCH, launch_);
  DDX_Check(dx, IDC_OVERWRITE, overwrite_);
}

bool CConfigDlg::OnInitDialog() {
  if (HasWindow()) CDialog::OnInitDialog();
  default_client_ = kNoDefaultClient;
  if (!Automatic()) overwrite_box_.SetCheck(kChecked);
  if (HasWindow()) {
    surface()->SetIcons(IDR_MAINFRAME);
    UpdateData(true);
  }
  launch_box_.Show(false);
  launch_box_.Enable(false);

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
  if (!HasWindow() && !HoldClientStores()) return true;

  DetectInstalledClients();
  if (StopForRunningClients()) return true;
  DetectDefault();
  return true;
}

CControl& CConfigDlg::Radio(ClientKind kind) { return radios_[ClientNumber(kind)]; }

void CConfigDlg::DetectInstalledClients() {
  std::vector<const MailClient*> probes;
  for (const MailClient& client : MailClients()) probes.push_back(&client);
  std::sort(probes.begin(), probes.end(),
            [](const MailClient* a, const MailClient* b) { return a->probe_position < b->probe_position; });

  for (const MailClient* client : probes) {
    const ClientKind kind = client->marks.kind;
    log_ << "Searching for " << client->name << " ... ";
    const bool installed = detection_.IsInstalled(kind);
    if (!installed) Radio(kind).Enable(false);
    if (kind != ClientKind::kOutlook) {
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

bool CConfigDlg::StopForRunningClients() {
  if (detection_.CheckRunning(options_.close_running, log_) == RunningClients::kContinue) return false;
  stopped_by_running_client_ = true;
  if (HasWindow()) {
    ShowFinishedState();
    message_.SetCaption("Please exit all running email clients, and then restart Postwright.");
  }
  failure_description_ = "Running Email Client Detected. Closing.";
  log_.Line(failure_description_);
  log_.BlankLine();
  log_.WriteClosing(Closing::kTerminatedAutomatically);
  return true;
}

void CConfigDlg::DetectDefault() {
  default_client_ = detection_.DefaultClient();
  log_ << "Detecting default e-mail client ... ";
  if (!HasWindow()) {
    log_.Line("done.");
    log_.BlankLine();
    return;
  }
  const std::optional<ClientKind> kind = ClientKindFromDefaultCode(default_client_);
  if (kind && Radio(*kind).IsEnabled()) {
    Radio(*kind).SetCheck(kChecked);
    log_.Line("found. (" + ClientName(*kind) + ")");
  } else {
    log_.Line("unrecognized.");
  }
  log_.BlankLine();
}

bool CConfigDlg::OnCommand(int id, int notify_code) {
  const std::vector<int> radios = ClientRadios();
  const bool radio = std::find(radios.begin(), radios.end(), id) != radios.end();
  if (radio || id == IDC_SAVE || id == IDC_ABOUT) {
    if (notify_code != kBnClicked) return false;
    if (radio)
      OnInputChanged();
    else if (id == IDC_SAVE)
      OnSave();
    else
      OnAbout();
    return true;
  }
  if (id == IDC_USER_NAME || id == IDC_DISPLAY_NAME) {
    if (notify_code != kEnChange) return false;
    OnInputChanged();
    return true;
  }
  return false;
}

void CConfigDlg::OnInputChanged() {
  if (HasWindow()) UpdateData(true);
  // A user name that cannot make an address never reaches a writer.
  save_button_.Enable(!UserNameFault(user_name_) && !display_name_.empty() && SelectedClient().has_value());
  // Eudora has no default-account setting.
  make_default_box_.Enable(SelectedClient() != ClientKind::kEudora);
  if (HasWindow()) UpdateData(false);
}

bool CConfigDlg::HoldClientStores() {
  if (ended_without_lock_) return false;
  if (!stores_lock_ && stores_lock_status_ == err::kSuccess)
    stores_lock_status_ = platform_.processes.HoldMutex(kStoresMutexName, kStoresWaitMs, &stores_lock_);
  if (stores_lock_status_ == err::kSuccess) return true;
  ended_without_lock_ = true;
  const std::string description =
      stores_lock_status_ == err::kWaitTimeout
          ? "Another Postwright run was configuring an email client and did not finish within " +
                std::to_string(kStoresWaitMs / 1000) + " seconds; nothing was changed."
          : "Postwright could not make sure that no other run is configuring an email client (error code " +
                std::to_string(stores_lock_status_) + "); nothing was changed.";
  if (HasWindow()) {
    ShowFinishedState();
    message_.SetCaption(description);
  }
  FailAutomatic(stores_lock_status_ == err::kWaitTimeout ? "busy" : "noLock", description);
  return false;
}

void CConfigDlg::OnSave() {
  if (!HoldClientStores()) return;
  AccountRequest request;
  AutomaticPrefix automatic_prefix;
  if (Automatic()) {
    if (!FindAutomaticAccount(&request)) return;
    automatic_prefix = options_.prefix;
  } else {
    request.address = user_name_ + kProvider.mail_domain;
    request.display_name = display_name_;
    if (HasWindow()) UpdateData(true);
  }
  request.make_default = make_default_ != 0;
  request.overwrite = overwrite_ != 0;
  const std::optional<ClientKind> kind = SelectedClient();
  std::unique_ptr<AccountWriter> writer =
      kind ? writers_.MakeWriter(*kind, outlook_version_, request, automatic_prefix) : nullptr;
  if (HasWindow()) UpdateData(false);

  log_.Line((Automatic() ? "Default E-Mail Address: " : "User Entered E-Mail Address: ") + request.address);
  log_.Line((Automatic() ? "Default Display Name: " : "User Entered Display Name: ") + request.display_name);
  log_.Line(std::string("Make Account Default: ") + (request.make_default ? "Yes" : "No"));
  log_.Line(std::string("Overwrite Existing Account: ") + (request.overwrite ? "Yes" : "No"));

  ConfigureResult result = result::kNoWriter;
  if (writer) {
    log_.Line("Client Selected to Configure: " + ClientName(*kind));
    log_.BlankLine();
    result = writer->Configure();
  }
  writer.reset();
  stores_lock_.reset();
  ReportOutcome(result);
}

void CConfigDlg::ReportOutcome(ConfigureResult result) {
  configured_ = result == result::kConfigured;
  if (HasWindow()) ShowFinishedState();
  const std::optional<ClientKind> kind = SelectedClient();
  if (configured_) {
    log_.Line("Email Client Configuration Successful!");
    log_.BlankLine();
    message_.SetCaption(SuccessText(*kind));
    log_.WriteClosing(Closing::kComplete);
    return;
  }
  const std::string text = kind ? ErrorText(*kind, result) : UnknownClientText(selected_client_);
  message_.SetCaption(text);
  const std::string failed = "Email Client Configuration failed with error code: " + std::to_string(result);
  failure_description_ = text.empty() ? failed : text;
  log_.Line(failed);
  log_.Line("Description: " + text);
  if (kind == ClientKind::kOutlook && PointsAtTheProfile(result)) {
    log_.Line("Relevant Registry Structure:");
    DumpOutlookProfiles(log_);
  }
  log_.WriteClosing(Closing::kFailed);
}

bool CConfigDlg::FindAutomaticAccount(AccountRequest* request) {
  log_.Line("Automatically Configuring from default email client's default account.");
  const std::optional<ClientKind> kind = ClientKindFromDefaultCode(default_client_);
  // Only a client whose accounts can be looked up can be rewritten.
  const std::unique_ptr<AccountLookup> lookup = kind ? writers_.MakeLookup(*kind, outlook_version_) : nullptr;
  if (!lookup) {
    FailAutomatic("unsupportedDef", "The system's default email client is not supported by Postwright.");
    return false;
  }
  const std::optional<std::string>& search = options_.search_address;
  const std::optional<std::string> key = search ? lookup->FindAcctByText(*search) : lookup->GetDefAcct();
  const std::optional<std::string> address = lookup->GetAcctAddr(key);
  const std::optional<std::string> display_name = lookup->GetAcctDisplayName(key);
  if (!key && search) {
    FailAutomatic("noDefault",
                  "The system's default email client's default account could not be identified using your search "
                  "criteria.");
    return false;
  }
  if (!address) {
    FailAutomatic("defaultDNE", "The system's default email client's default account no longer exists.");
    return false;
  }
  // The address becomes a key name and a settings line: it must be plain text.
  if (const std::optional<std::string> fault = StoredAddressFault(*address)) {
    FailAutomatic("unusableAddr", "The e-mail address of the system's default email client's default account " +
                                      *fault + ", so it cannot be rewritten.");
    return false;
  }
  request->address = *address;
  request->display_name = display_name.value_or("");
  request->account_key = key;
  selected_client_ = ClientNumber(*kind);
  return true;
}

void CConfigDlg::FailAutomatic(const std::string& error, const std::string& description) {
  failure_description_ = description;
  log_.Line("Email Client Configuration failed with error : " + error);
  log_.Line("Description: " + description);
  log_.WriteClosing(Closing::kFailed);
}

void CConfigDlg::ShowFinishedState() {
  for (CControl* c : {&save_button_, &user_name_edit_, &display_name_edit_, &make_default_box_, &overwrite_box_})
    c->Show(false);
  cancel_button_.SetCaption("Close");
  for (CControl* c : {&details_label_, &user_name_label_, &display_name_label_, &choose_label_, &about_button_})
    c->Show(false);
  for (CControl& radio : radios_) radio.Show(false);
  if (HasWindow()) surface()->SetDefaultButton(kIdCancel);
  save_button_.Enable(false);
  if (configured_) {
    launch_box_.Show(true);
    launch_box_.Enable(true);
    launch_box_.SetCheck(kChecked);
  }
}

// Outlook 2013 and later keep their profiles below their own Office key,
// among many keys of no interest to whoever reads the log: the listing starts
// at the profiles key, which it names as the older listing names it.
void CConfigDlg::DumpOutlookProfiles(RunLog& log) {
  const OutlookProfileKeys keys = ProfileKeysOf(outlook_version_);
  if (keys.profiles == kMapiProfilesKey) {
    DumpRegistryTree(kMessagesKey, 0, log);
    return;
  }
  RegKeyPtr profiles;
  if (Status status = platform_.registry.OpenKey(RegRoot::kCurrentUser, keys.profiles, RegAccess::kAllAccess,
                                                 &profiles)) {
    log << "error: " << status;
    log.EndLine();
    return;
  }
  profiles.reset();
  log.Line("Profiles");
  DumpRegistryTree(keys.profiles, 1, log);
}

void CConfigDlg::DumpRegistryTree(std::string key_path, int depth, RunLog& log) {
  RegKeyPtr key;
  if (Status status = platform_.registry.OpenKey(RegRoot::kCurrentUser, key_path, RegAccess::kAllAccess, &key)) {
    log << "error: " << status;
    log.EndLine();
    return;
  }
  // A key whose subkeys cannot be counted lists none.
  uint32_t count = 0;
  if (key->CountSubkeys(&count) != err::kSuccess) count = 0;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    if (key->EnumSubkey(i, &name) != err::kSuccess) continue;
    for (int d = 0; d < depth; ++d) log << "   ";
    log << name;
    log.EndLine();
    DumpRegistryTree(key_path + "\\" + name, depth + 1, log);
  }
}

void CConfigDlg::OnCancel() {
  if (configured_) {
    UpdateData(true);
    if (launch_) LaunchClient();
    UpdateData(false);
  } else if (log_.IsOpen()) {
    log_.WriteClosing(Closing::kTerminatedByUser);
  }
  EndDialog(kIdCancel);
}

void CConfigDlg::LaunchClient() {
  std::string path;
  RegKeyPtr key;
  if (platform_.registry.OpenKey(RegRoot::kLocalMachine, AppPathsKey(*SelectedClient()), RegAccess::kRead, &key) ==
      err::kSuccess)
    path = ReadRegText(*key, "");
  key.reset();
  path = ExpandPlaceholder(path, "%ProgramFiles%", "ProgramFiles", platform_.environment);
  path = ExpandPlaceholder(path, "%ProgramFiles(x86)%", "ProgramFiles(x86)", platform_.environment);

  if (log_.Reopen() == err::kSuccess) {
    log_.Line("Email client path to start is : " + path);
    log_.BlankLine();
    log_.Close();
  }
  // A registration may quote its path; the program to run is the path alone,
  // never a command line Windows would split at its first blank.
  std::string program = path;
  if (program.size() >= 2 && program.front() == '"' && program.back() == '"')
    program = program.substr(1, program.size() - 2);
  // A client that cannot be started is not reported: the dialog closes anyway.
  if (!program.empty()) static_cast<void>(platform_.processes.Start(program, "\"" + program + "\""));
}

void CConfigDlg::OnAbout() {
  CAboutDlg about(host());
  about.DoModal();
}

}  // namespace pw
