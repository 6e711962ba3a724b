// The small services on Windows: environment, local time, identifiers, standard streams.
#pragma once

#include "platform/System.h"

namespace pw {

class Win32Environment : public Environment {
 public:
  bool Variable(const std::string& name, std::string* value) override;
  Status ShellAppDataFolder(std::string* folder) override;
  bool RunsAsLocalSystem() override;
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

// Writes where the streams were redirected; a GUI program started from a
// console prompt without redirection writes to that console instead.
class Win32StdOut : public StdOut {
 public:
  void Out(const std::string& text) override;
  void Err(const std::string& text) override;
};

}  // namespace pw
