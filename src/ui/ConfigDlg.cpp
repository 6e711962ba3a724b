#include "ui/ConfigDlg.h"

#include "app/ProviderSettings.h"
#include "ui/AboutDlg.h"
#include "ui/ClientTexts.h"
#include "ui/resource.h"

namespace pw {

namespace {

// The radio group in tab order: the index is the ClientKind.
const std::vector<int> kClientRadios = {IDC_CLIENT_OE, IDC_CLIENT_OUTLOOK, IDC_CLIENT_WINMAIL, IDC_CLIENT_EUDORA,
                                        IDC_CLIENT_THUNDERBIRD};

// The order in which the installed clients are probed and logged.
const ClientKind kProbeOrder[] = {client::kThunderbird, client::kEudora, client::kOutlookExpress,
                                  client::kWindowsMail, client::kOutlook};

const char kMessagesKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";

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

CConfigDlg::CConfigDlg(Platform& platform, RunLog& log, ClientDetection& detection, DialogHost* host)
    : CDialog(IDD_CONFIG_DIALOG, host), platform_(platform), log_(log), detection_(detection) {}

std::vector<ControlSpec> CConfigDlg::TemplateControls() {
  return {
      {IDC_MESSAGE, "(message)"},   {IDC_CHOOSE_LABEL, "(choose)"},
      {IDC_CLIENT_OE, "Microsoft Outlook Express"},
      {IDC_CLIENT_OUTLOOK, "Microsoft Outlook"},
      {IDC_CLIENT_WINMAIL, "Microsoft Windows Mail"},
      {IDC_CLIENT_EUDORA, "Qualcomm Eudora 5 and up"},
      {IDC_CLIENT_THUNDERBIRD, "Mozilla Thunderbird"},
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
  DDX_Control(dx, IDC_CLIENT_OE, radio_oe_);
  DDX_Control(dx, IDC_CLIENT_OUTLOOK, radio_outlook_);
  DDX_Control(dx, IDC_CLIENT_EUDORA, radio_eudora_);
  DDX_Control(dx, IDC_CLIENT_THUNDERBIRD, radio_thunderbird_);
  DDX_Control(dx, IDC_CLIENT_WINMAIL, radio_winmail_);
  DDX_Control(dx, IDC_MESSAGE, message_);
  DDX_Control(dx, IDC_MAKE_DEFAULT, make_default_box_);
  DDX_Control(dx, IDC_DISPLAY_NAME, display_name_edit_);
  DDX_Control(dx, IDC_USER_NAME, user_name_edit_);
  DDX_Control(dx, IDC_SAVE, save_button_);
  DDX_Control(dx, kIdCancel, cancel_button_);
  DDX_Text(dx, IDC_USER_NAME, user_name_);
  DDX_Check(dx, IDC_MAKE_DEFAULT, make_default_);
  DDX_Text(dx, IDC_DISPLAY_NAME, display_name_);
  DDX_Radio(dx, kClientRadios, selected_client_);
  DDX_Check(dx, IDC_LAUNCH, launch_);
  DDX_Check(dx, IDC_OVERWRITE, overwrite_);
}

bool CConfigDlg::OnInitDialog() {
  if (!command_line_) CDialog::OnInitDialog();
  default_client_ = -1;
  if (!automatic_) overwrite_box_.SetCheck(kChecked);
  if (!command_line_) {
    if (surface()) surface()->SetIcons(IDR_MAINFRAME);
    UpdateData(true);
  }
  launch_box_.Show(false);
  launch_box_.Enable(false);

  log_.Open(platform_.files, platform_.clock, RunLogPath(platform_.registry, platform_.environment));
  log_.WriteHeader(command_line_);

  DetectInstalledClients();
  if (StopForRunningClients()) return true;
  DetectDefault();
  return true;
}

CControl& CConfigDlg::Radio(ClientKind kind) {
  CControl* radios[kClientCount] = {&radio_oe_, &radio_outlook_, &radio_winmail_, &radio_eudora_,
                                    &radio_thunderbird_};
  return *radios[kind];
}

void CConfigDlg::DetectInstalledClients() {
  for (ClientKind kind : kProbeOrder) {
    log_ << "Searching for " << ClientName(kind) << " ... ";
    const bool installed = detection_.IsInstalled(kind);
    if (!installed) Radio(kind).Enable(false);
    if (kind != client::kOutlook) {
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
  if (detection_.CheckRunning(close_running_, log_) == RunningClients::kContinue) return false;
  stopped_by_running_client_ = true;
  if (!command_line_) {
    ShowFinishedState();
    message_.SetCaption("Please exit all running email clients, and then restart Postwright.");
  }
  log_.Line("Running Email Client Detected. Closing.");
  log_.BlankLine();
  log_.WriteClosing(Closing::kTerminatedAutomatically);
  return true;
}

void CConfigDlg::DetectDefault() {
  default_client_ = detection_.DefaultClient();
  log_ << "Detecting default e-mail client ... ";
  if (command_line_) {
    log_.Line("done.");
    log_.BlankLine();
    return;
  }
  const ClientKind kind = default_client_ - 1;
  if (IsClientKind(kind) && Radio(kind).IsEnabled()) {
    Radio(kind).SetCheck(kChecked);
    log_.Line("found. (" + ClientName(kind) + ")");
  } else {
    log_.Line("unrecognized.");
  }
  log_.BlankLine();
}

bool CConfigDlg::OnCommand(int id, int notify_code) {
  switch (id) {
    case IDC_USER_NAME:
    case IDC_DISPLAY_NAME:
      if (notify_code != kEnChange) return false;
      OnInputChanged();
      return true;
    case IDC_CLIENT_OE:
    case IDC_CLIENT_OUTLOOK:
    case IDC_CLIENT_WINMAIL:
    case IDC_CLIENT_EUDORA:
    case IDC_CLIENT_THUNDERBIRD:
      if (notify_code != kBnClicked) return false;
      OnInputChanged();
      return true;
    case IDC_SAVE:
      if (notify_code != kBnClicked) return false;
      OnSave();
      return true;
    case IDC_ABOUT:
      if (notify_code != kBnClicked) return false;
      OnAbout();
      return true;
    default:
      return false;
  }
}

void CConfigDlg::OnInputChanged() {
  if (!command_line_) UpdateData(true);
  save_button_.Enable(!user_name_.empty() && !display_name_.empty() && IsClientKind(selected_client_));
  // Eudora has no default-account setting.
  make_default_box_.Enable(selected_client_ != client::kEudora);
  if (!command_line_) UpdateData(false);
}

void CConfigDlg::OnSave() {
  const bool interactive = !command_line_;
  AccountRequest request;
  std::unique_ptr<AccountWriter> writer;
  if (automatic_) {
    if (!PrepareAutomatic(&writer, &request)) return;
  } else {
    request.address = user_name_ + kProvider.mail_domain;
    request.display_name = display_name_;
    if (interactive) UpdateData(true);
    request.make_default = make_default_ != 0;
    request.overwrite = overwrite_ != 0;
    writer = make_writer_(selected_client_, outlook_version_, request, platform_, log_);
    if (interactive) UpdateData(false);
  }

  log_.Line((automatic_ ? "Default E-Mail Address: " : "User Entered E-Mail Address: ") + request.address);
  log_.Line((automatic_ ? "Default Display Name: " : "User Entered Display Name: ") + request.display_name);
  log_.Line(std::string("Make Account Default: ") + (request.make_default ? "Yes" : "No"));
  log_.Line(std::string("Overwrite Existing Account: ") + (request.overwrite ? "Yes" : "No"));

  ConfigureResult result = result::kNoWriter;
  if (writer) {
    log_.Line("Client Selected to Configure: " + ClientName(selected_client_));
    log_.BlankLine();
    result = writer->Configure();
  }
  writer.reset();
  ReportOutcome(result);
}

void CConfigDlg::ReportOutcome(ConfigureResult result) {
  configured_ = result == result::kConfigured;
  failed_ = !configured_;
  if (!command_line_) ShowFinishedState();
  if (configured_) {
    log_.Line("Email Client Configuration Successful!");
    log_.BlankLine();
    message_.SetCaption(SuccessText(selected_client_));
    log_.WriteClosing(Closing::kComplete);
    return;
  }
  const std::string text = ErrorText(selected_client_, result);
  message_.SetCaption(text);
  log_ << "Email Client Configuration failed with error code: " << result;
  log_.EndLine();
  log_.Line("Description: " + text);
  if (selected_client_ == client::kOutlook && (result == 2 || result == 3)) {
    log_.Line("Relevant Registry Structure:");
    DumpRegistryTree(kMessagesKey, 0, log_);
  }
  log_.WriteClosing(Closing::kFailed);
}

bool CConfigDlg::PrepareAutomatic(std::unique_ptr<AccountWriter>* writer, AccountRequest* request) {
  log_.Line("Automatically Configuring from default email client's default account.");
  const ClientKind kind = default_client_ - 1;
  const AccountRequest empty;
  std::unique_ptr<AccountWriter> made =
      IsClientKind(kind) ? make_writer_(kind, outlook_version_, empty, platform_, log_) : nullptr;
  // Only the registry clients can look up the account to rewrite.
  auto* lookup = dynamic_cast<RegistryAccountWriter*>(made.get());
  if (!lookup) {
    FailAutomatic("unsupportedDef", "The system's default email client is not supported by Postwright.");
    return false;
  }
  const bool searching = search_address_ != "NULL";
  const std::string key = searching ? lookup->FindAcctByText(search_address_) : lookup->GetDefAcct();
  request->address = lookup->GetAcctAddr(key);
  request->display_name = lookup->GetAcctDisplayName(key);
  request->make_default = make_default_ != 0;
  request->overwrite = overwrite_ != 0;
  lookup->MarkAutomatic();
  lookup->SetPrefix(prefix_);
  lookup->Reinitialise(*request, log_);
  if (key == kLookupError && searching) {
    FailAutomatic("noDefault",
                  "The system's default email client's default account could not be identified using your search "
                  "criteria.");
    return false;
  }
  if (request->address == kLookupError) {
    FailAutomatic("defaultDNE", "The system's default email client's default account no longer exists.");
    return false;
  }
  selected_client_ = kind;
  *writer = std::move(made);
  return true;
}

void CConfigDlg::FailAutomatic(const std::string& error, const std::string& description) {
  failed_ = true;
  log_.Line("Email Client Configuration failed with error : " + error);
  log_.Line("Description: " + description);
  log_.WriteClosing(Closing::kFailed);
}

void CConfigDlg::ShowFinishedState() {
  for (CControl* c : {&save_button_, &user_name_edit_, &display_name_edit_, &make_default_box_, &overwrite_box_})
    c->Show(false);
  cancel_button_.SetCaption("Close");
  for (CControl* c : {&radio_oe_, &details_label_, &user_name_label_, &display_name_label_, &choose_label_,
                      &radio_outlook_, &radio_eudora_, &radio_thunderbird_, &radio_winmail_, &about_button_})
    c->Show(false);
  if (surface()) surface()->SetDefaultButton(kIdCancel);
  save_button_.Enable(false);
  if (configured_) {
    launch_box_.Show(true);
    launch_box_.Enable(true);
    launch_box_.SetCheck(kChecked);
  }
}

void CConfigDlg::DumpRegistryTree(std::string key_path, int depth, RunLog& log) {
  RegKeyPtr key;
  if (Status status = platform_.registry.OpenKey(RegRoot::kCurrentUser, key_path, RegAccess::kAllAccess, &key)) {
    log << "error: " << static_cast<long long>(status);
    log.EndLine();
    return;
  }
  uint32_t count = 0;
  key->CountSubkeys(&count);
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
  if (platform_.registry.OpenKey(RegRoot::kLocalMachine, AppPathsKey(selected_client_), RegAccess::kRead, &key) ==
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
  if (!program.empty()) platform_.processes.Start(program, "\"" + program + "\"");
}

void CConfigDlg::OnAbout() {
  CAboutDlg about(host());
  about.DoModal();
}

}  // namespace pw
