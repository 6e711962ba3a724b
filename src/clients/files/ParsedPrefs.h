// A prefs.js read once: its lines, and the preference each sets, viewed in the
// text they were split from. Every question the writer asks of the file, and
// the new file it writes, go through this index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "clients/files/PrefLine.h"

namespace pw {

// The lines of a prefs.js read once, and the preference each sets, viewed in
// the text they were split from (which must outlive this); a name or text
// value with escapes is decoded once and viewed where it is kept. A line
// costs 21 bytes here whatever its length: places in the text, not views.
class ParsedPrefs {
 public:
  // Places are 32-bit: a larger text cannot be parsed.
  static constexpr uint64_t kMaxText = UINT32_MAX;

  explicit ParsedPrefs(std::string_view text);
  ParsedPrefs(const ParsedPrefs&) = delete;
  ParsedPrefs& operator=(const ParsedPrefs&) = delete;

  size_t line_count() const { return lines_.size(); }
  std::string_view line(size_t i) const;
  // The line and the line end that follows it in the text, if any.
  std::string_view LineWithEnd(size_t i) const;
  // The preference line `i` sets; false for a line that sets none.
  bool At(size_t i, PrefView* pref) const;

  // The preferences in the order of their lines: for (PrefView p : prefs.prefs()).
  class PrefIterator {
   public:
    PrefIterator(const ParsedPrefs& prefs, size_t line) : prefs_(prefs), line_(line) { Skip(); }
    PrefView operator*() const;
    PrefIterator& operator++();
    bool operator!=(const PrefIterator& other) const { return line_ != other.line_; }

   private:
    void Skip();
    const ParsedPrefs& prefs_;
    size_t line_;
  };
  struct PrefRange {
    const ParsedPrefs& prefs;
    PrefIterator begin() const { return PrefIterator(prefs, 0); }
    PrefIterator end() const { return PrefIterator(prefs, prefs.line_count()); }
  };
  PrefRange prefs() const { return PrefRange{*this}; }

  // The last text value of `name`: the one Thunderbird keeps. False when the
  // last line of the name sets no text, or none sets it.
  bool LastText(std::string_view name, std::string_view* value) const;

 private:
  // A line: where it starts (it ends before the line end ahead of the next
  // line's start), and its preference's name and value, in the text or, when
  // decoded, in decoded_.
  struct Line {
    uint32_t start;
    uint32_t name, name_size;
    uint32_t value, value_size;
  };
  enum Kind : uint8_t { kPref = 1, kText = 2, kNameDecoded = 4, kValueDecoded = 8 };
  std::string_view Part(uint8_t kind, uint8_t decoded, uint32_t at, uint32_t size) const;

  std::string_view text_;
  std::vector<Line> lines_;
  std::vector<uint8_t> kinds_;  // per line: Kind bits, 0 for a line that sets no preference
  std::string decoded_;         // names and texts that had escapes, one after another
};

}  // namespace pw
