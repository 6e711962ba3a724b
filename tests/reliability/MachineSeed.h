// Machines for the reliability tests, kept as data: a folder per machine with
// "registry.reg" (keys and values, in a small form of the .reg format) and
// "files/" (the drives: files/C/Users/... is C:\Users\...). Every machine has
// the user jo, whose application-data folder is C:\Users\jo\AppData\Roaming.
#pragma once

#include <map>
#include <string>

#include "platform/memory/MemoryPlatform.h"

namespace pw {
namespace reliability {

constexpr char kAppData[] = "C:\\Users\\jo\\AppData\\Roaming";
constexpr char kLogPath[] = "C:\\Users\\jo\\AppData\\Roaming\\Postwright.log";
constexpr char kLocalAppData[] = "C:\\Users\\jo\\AppData\\Local";
// Where runs keep their backups: below the local application data.
constexpr char kBackups[] = "C:\\Users\\jo\\AppData\\Local\\Postwright";

// The folder of the reliability data in the source tree.
std::string DataFolder();

// Puts machine `name` (a folder below DataFolder()/machines) on `machine`.
// A line of registry.reg that cannot be read fails the test.
void SeedMachine(MemoryPlatform& machine, const std::string& name);

// Registry lines:
//   [HKCU\Software\Key]         the key (HKCU, HKLM or HKCR), created with its parents
//   "Name"=sz:text              REG_SZ with its NUL, as regedit writes it ("@" for the default value)
//   "Name"=text:text            REG_SZ without a NUL, as Postwright writes it
//   "Name"=dword:0000000a       REG_DWORD, hexadecimal
//   "Name"=hex:01,02            REG_BINARY
//   "Name"=hex(7):61,00         any type, by number
//   "Name"=utf16:text           REG_BINARY, UTF-16 LE with a zero unit (Outlook 2002's texts)
// Blank lines and lines starting with ";" are skipped.
void SeedRegistry(MemoryRegistry& registry, const std::string& reg_text);

// Everything of a machine a run could change, one entry per key, value,
// folder and file: "K HKCU\path", "V HKCU\path\"name"" -> type:hex bytes,
// "D C:\path\" and "F C:\path" -> bytes.
using MachineState = std::map<std::string, std::string>;
MachineState Capture(MemoryPlatform& machine);

}  // namespace reliability
}  // namespace pw
