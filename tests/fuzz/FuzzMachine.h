// What the fuzz targets share: a twin machine for the user jo with one store
// file or value taken from the fuzzer's bytes, a run of the client's writer
// or lookup on it, and the checks every run must pass. A broken promise
// aborts, which is what libFuzzer reports.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/RunLog.h"
#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "platform/memory/MemoryPlatform.h"
#include "clients/WriterFactory.h"

namespace pw {
namespace fuzz {

constexpr char kAppData[] = "C:\\Users\\jo\\AppData\\Roaming";

inline void Require(bool holds, const char* promise) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

struct Machine {
  Machine() {
    machine.registry.PutText(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", kAppData);
    machine.environment.Set("USERPROFILE", "C:\\Users\\jo");
    machine.files.PutFolder(kAppData);
  }

  // Runs the writer of `kind` for jdoe@quillset.example.
  ConfigureResult Configure(ClientKind kind, bool overwrite, int outlook_version = -1) {
    Platform view = machine.View();
    MailClientWriters writers;
    const AccountRequest request{"jdoe@quillset.example", "Jo Doe", false, overwrite};
    return writers.MakeWriter(kind, WriterContext{view, log, outlook_version}, request, std::nullopt)->Configure();
  }

  MemoryPlatform machine;
  RunLog log;  // never opened: what the writers log is dropped
};

// True when `part` appears in `whole` in the same order (other lines between).
inline bool Subsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
  size_t at = 0;
  for (const std::string& line : part) {
    while (at < whole.size() && whole[at] != line) ++at;
    if (at == whole.size()) return false;
    ++at;
  }
  return true;
}

// The promises of a settings-file writer given `input` as the file at `path`:
// a failed run leaves it byte for byte; a run that wrote keeps every line
// `kept` selects in its order, and the file it wrote is taken again by a
// second run that rewrites the account.
template <typename Kept>
void CheckSettingsFileWriter(ClientKind kind, const std::string& path, const std::string& input, Kept kept,
                             void (*seed)(MemoryPlatform&) = nullptr) {
  Machine m;
  if (seed) seed(m.machine);
  m.machine.files.PutFile(path, input);
  const ConfigureResult result = m.Configure(kind, false);
  const std::string output = m.machine.files.FileBytes(path);
  if (result != result::kConfigured) {
    Require(output == input, "a run that did not configure leaves the file as it was");
    return;
  }
  std::vector<std::string> survivors;
  for (const std::string& line : SplitLines(input))
    if (kept(line)) survivors.push_back(line);
  if (!Subsequence(survivors, SplitLines(output))) {
    std::fprintf(stderr, "before:\n%s\nafter:\n%s\n", input.c_str(), output.c_str());
    Require(false, "every line not of the account survives, in its order");
  }

  Machine again;
  if (seed) seed(again.machine);
  again.machine.files.PutFile(path, output);
  Require(again.Configure(kind, true) == result::kConfigured, "the written file is taken again");
}

}  // namespace fuzz
}  // namespace pw
