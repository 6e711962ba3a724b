#include "ui/AboutDlg.h"

#include <string>

#include "app/ProviderSettings.h"
#include "ui/resource.h"

namespace pw {

CAboutDlg::CAboutDlg(DialogHost* host) : CDialog(IDD_ABOUTBOX, host) {}

std::vector<ControlSpec> CAboutDlg::TemplateControls() {
  return {{kIdCancel, "Close"},
          {IDC_ABOUT_POP3_USER, "POP3 Username:"},
          {IDC_ABOUT_POP3_HOST, ""},
          {IDC_ABOUT_SMTP_HOST, ""},
          {IDC_ABOUT_POP3_PORT, "POP3 Port:"},
          {IDC_ABOUT_SMTP_PORT, "SMTP Port:"}};
}

void CAboutDlg::DoDataExchange(CDataExchange& dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_ABOUT_POP3_USER, pop3_user_);
  DDX_Control(dx, IDC_ABOUT_SMTP_HOST, smtp_host_);
  DDX_Control(dx, IDC_ABOUT_SMTP_PORT, smtp_port_);
  DDX_Control(dx, IDC_ABOUT_POP3_PORT, pop3_port_);
  DDX_Control(dx, IDC_ABOUT_POP3_HOST, pop3_host_);
}

bool CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  pop3_port_.SetCaption("POP3 Port: " + std::to_string(kProvider.pop3_port));
  smtp_port_.SetCaption("SMTP Port: " + std::to_string(kProvider.smtp_port));
  pop3_host_.SetCaption(kProvider.pop3_host);
  smtp_host_.SetCaption(kProvider.smtp_host);
  if (surface()) surface()->SetIcons(IDR_MAINFRAME);
  return true;
}

}  // namespace pw
