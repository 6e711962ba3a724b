// The stand-in for the framework's application object: the command line after
// the program name, and InitInstance, which is the whole run.
#pragma once

#include <string>

namespace pw {

class CWinApp {
 public:
  virtual ~CWinApp() = default;
  // The whole life of the process; FALSE (false) ends it.
  virtual bool InitInstance() = 0;

  std::string m_lpCmdLine;
};

}  // namespace pw
