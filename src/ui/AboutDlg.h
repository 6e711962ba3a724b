// The About box: what the tool does and which settings an account receives.
#pragma once

#include <vector>

#include "framework/Dialog.h"
#include "framework/DialogSurface.h"

namespace pw {

class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(DialogHost* host);
  bool OnInitDialog() override;

  static std::vector<ControlSpec> TemplateControls();

 protected:
  void DoDataExchange(CDataExchange& dx) override;

 private:
  CControl pop3_user_, smtp_host_, smtp_port_, pop3_port_, pop3_host_;
};

}  // namespace pw
