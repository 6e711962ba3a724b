// The stand-in for the framework's application object: the command line after
// the program name, the main window, and InitInstance, which is the whole run.
#pragma once

#include <string>

namespace pw {

class CDialog;

class CWinApp {
 public:
  virtual ~CWinApp() = default;
  // The whole life of the process; FALSE (false) ends it.
  virtual bool InitInstance() = 0;

  std::string m_lpCmdLine;
  CDialog* m_pMainWnd = nullptr;
};

}  // namespace pw
