// The small services: environment, local time, identifiers, standard streams.
#pragma once

#include <string>

#include "platform/Errors.h"

namespace pw {

class Environment {
 public:
  virtual ~Environment() = default;
  // False when the variable is not set.
  virtual bool Variable(const std::string& name, std::string* value) = 0;
  // The per-user application-data folder as the shell reports it.
  virtual Status ShellAppDataFolder(std::string* folder) = 0;
  // The user's local (not roaming) application-data folder, as the shell reports it.
  virtual Status ShellLocalAppDataFolder(std::string* folder) = 0;
  // True when the program runs as the system account (LocalSystem), as a
  // software-distribution job left at its defaults starts it: the settings it
  // would write are the system account's, which no user ever sees. False when
  // the account cannot be told.
  virtual bool RunsAsLocalSystem() = 0;
  // `text` in the system's ANSI code page, where Eudora keeps its settings
  // and the run log its lines. False when a character has no place there (a
  // look-alike does not count): `ansi` then holds "?" for each such character.
  virtual bool ToAnsiCodePage(const std::string& text, std::string* ansi) = 0;
  // Bytes in the ANSI code page as the program's text.
  virtual std::string FromAnsiCodePage(const std::string& ansi) = 0;
};

struct LocalTime {
  int year = 0;  // four digits
  int month = 0;  // 1 to 12
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// "2026-12-09 09:28:35": how the program's records (the backup's manifest,
// the detection marker) give a time.
std::string TimeText(const LocalTime& t);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // Waits, e.g. before retrying a file that a virus scanner holds briefly.
  virtual void Pause(unsigned milliseconds) = 0;
};

class UuidSource {
 public:
  virtual ~UuidSource() = default;
  // 36 characters, lower-case hexadecimal, in the usual 8-4-4-4-12 groups.
  virtual Status NewUuid(std::string* text) = 0;
};

class StdOut {
 public:
  virtual ~StdOut() = default;
  virtual void Out(const std::string& text) = 0;
  virtual void Err(const std::string& text) = 0;
};

}  // namespace pw
