// The small services on Windows: environment, local time, identifiers, standard streams.
#pragma once

#include "platform/System.h"

namespace pw {

class Win32Environment : public Environment {
 public:
  bool Variable(const std::string& name, std::string* value) override;
  Status ShellAppDataFolder(std::string* folder) override;
  Status ShellLocalAppDataFolder(std::string* folder) override;
  bool RunsAsLocalSystem() override;
  bool ToAnsiCodePage(const std::string& text, std::string* ansi) override;
  std::string FromAnsiCodePage(const std::string& ansi) override;
};

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  void Pause(unsigned milliseconds) override;
};

class Win32UuidSource : public UuidSource {
 public:
  Status NewUuid(std::string* text) override;
};

// Writes where the streams were redirected, in the ANSI code page as any
// program's output there; a GUI program started from a console prompt
// without redirection writes to that console instead, as UTF-16.
class Win32StdOut : public StdOut {
 public:
  void Out(const std::string& text) override;
  void Err(const std::string& text) override;
};

}  // namespace pw
