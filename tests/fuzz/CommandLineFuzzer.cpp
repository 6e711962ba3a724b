// Command lines as the fuzzer makes them.
#include "FuzzMachine.h"

#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const pw::CommandLineRequest first = pw::ParseCommandLine(line);
  const pw::CommandLineRequest second = pw::ParseCommandLine(line);
  pw::fuzz::Require(first.refusal == second.refusal && first.missing_option == second.missing_option &&
                        first.run.user_name == second.run.user_name && first.run.display_name == second.run.display_name,
                    "a command line reads the same every time");
  // What a run accepts is part of what was typed.
  if (first.refusal.empty() && first.missing_option.empty()) {
    pw::fuzz::Require(first.run.display_name.empty() || line.find(first.run.display_name) != std::string::npos,
                      "the display name comes from the command line");
  }
  return 0;
}
