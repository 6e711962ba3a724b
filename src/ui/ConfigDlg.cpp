#include "ui/ConfigDlg.h"

#include <algorithm>

#include "app/AddressRules.h"
#include "clients/MailClients.h"
#include "ui/AboutDlg.h"
#include "ui/resource.h"

namespace pw {

namespace {

// The radio group in tab order: the index is the ClientKind's number.
const int kClientRadios[kClientCount] = {IDC_CLIENT_OE, IDC_CLIENT_OUTLOOK, IDC_CLIENT_WINMAIL, IDC_CLIENT_EUDORA,
                                         IDC_CLIENT_THUNDERBIRD};

std::vector<int> ClientRadios() { return std::vector<int>(std::begin(kClientRadios), std::end(kClientRadios)); }

}  // namespace

const int CConfigDlg::kTemplate = IDD_CONFIG_DIALOG;

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
  for (const MailClient& client : MailClients())
    controls.push_back({kClientRadios[ClientNumber(client.marks.kind)], client.caption});
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
  for (int n = 0; n < kClientCount; ++n) DDX_Control(dx, kClientRadios[n], radios_[n]);
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
  CDialog::OnInitDialog();
  overwrite_box_.SetCheck(kChecked);
  surface()->SetIcons(IDR_MAINFRAME);
  UpdateData(true);
  launch_box_.Show(false);
  launch_box_.Enable(false);

  const RunStart start = run_.Begin();
  for (int n = 0; n < kClientCount; ++n)
    if (!start.installed[n]) radios_[n].Enable(false);
  if (start.ended) {
    ShowFinishedState();
    message_.SetCaption(start.ended->message);
  } else if (start.preselected) {
    radios_[ClientNumber(*start.preselected)].SetCheck(kChecked);
  }
  return true;
}

bool CConfigDlg::OnCommand(int id, int notify_code) {
  const bool radio = std::find(std::begin(kClientRadios), std::end(kClientRadios), id) != std::end(kClientRadios);
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
  UpdateData(true);
  // A user name that cannot make an address never reaches a writer.
  save_button_.Enable(!UserNameFault(user_name_) && !display_name_.empty() && SelectedClient().has_value());
  // A client without a default account (Eudora) has nothing to set.
  make_default_box_.Enable(!SelectedClient() || MailClientOf(*SelectedClient()).has_default_account);
  UpdateData(false);
}

RunRequest CConfigDlg::Request() const {
  RunRequest request;
  request.client = selected_client_;
  request.display_name = display_name_;
  request.user_name = user_name_;
  request.make_default = make_default_ != 0;
  request.overwrite = overwrite_ != 0;
  return request;
}

void CConfigDlg::OnSave() {
  UpdateData(true);
  const RunOutcome outcome = run_.Configure(Request());
  configured_ = outcome.configured;
  ShowFinishedState();
  message_.SetCaption(outcome.message);
}

void CConfigDlg::ShowFinishedState() {
  for (CControl* c : {&save_button_, &user_name_edit_, &display_name_edit_, &make_default_box_, &overwrite_box_})
    c->Show(false);
  cancel_button_.SetCaption("Close");
  for (CControl* c : {&details_label_, &user_name_label_, &display_name_label_, &choose_label_, &about_button_})
    c->Show(false);
  for (CControl& radio : radios_) radio.Show(false);
  surface()->SetDefaultButton(kIdCancel);
  save_button_.Enable(false);
  if (configured_) {
    launch_box_.Show(true);
    launch_box_.Enable(true);
    launch_box_.SetCheck(kChecked);
  }
}

void CConfigDlg::OnCancel() {
  if (configured_) {
    UpdateData(true);
    if (launch_ && SelectedClient()) run_.Launch(*SelectedClient());
  } else {
    run_.Cancel();
  }
  EndDialog(kIdCancel);
}

void CConfigDlg::OnAbout() {
  CAboutDlg about(host());
  about.DoModal();
}

}  // namespace pw
