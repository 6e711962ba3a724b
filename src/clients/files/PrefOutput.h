// The new prefs.js as it is written: lines handed on to a sink, every line
// followed by CR LF.
#pragma once

#include <string_view>

#include "clients/files/ParsedPrefs.h"
#include "platform/SafeReplace.h"

namespace pw {

using PrefLines = std::vector<std::string>;

// Lines handed on to a sink, every line followed by CR LF. Lines copied from
// the file that end in CR LF there go on as one piece per run.
class PrefOutput {
 public:
  explicit PrefOutput(SaveSink& sink) : sink_(sink) {}
  ~PrefOutput() { Flush(); }
  void Line(std::string_view line) {
    Flush();
    sink_.Append(line);
    sink_.Append("\r\n");
  }
  void Lines(const PrefLines& lines) {
    for (const std::string& line : lines) Line(line);
  }
  // Line `i` of the file, unchanged.
  void Copy(const ParsedPrefs& prefs, size_t i) {
    const std::string_view span = prefs.LineWithEnd(i);
    if (span.size() < 2 || span.compare(span.size() - 2, 2, "\r\n") != 0) return Line(prefs.line(i));
    if (pending_.data() + pending_.size() != span.data()) {
      Flush();
      pending_ = span;
    } else {
      pending_ = std::string_view(pending_.data(), pending_.size() + span.size());
    }
  }

 private:
  void Flush() {
    if (!pending_.empty()) sink_.Append(pending_);
    pending_ = {};
  }

  SaveSink& sink_;
  std::string_view pending_;  // lines copied from the file and not yet handed on
};

}  // namespace pw
