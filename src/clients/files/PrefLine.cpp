#include "clients/files/PrefLine.h"

#include "platform/Text.h"

namespace pw {

const char kPrefTrue[] = "true";

std::string PrefLine(const std::string& name, const std::string& literal) {
  return "user_pref(\"" + name + "\", " + literal + ");";
}

std::string EscapePrefText(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '"': escaped += "\\\""; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string PrefText(const std::string& text) { return "\"" + EscapePrefText(text) + "\""; }

std::string PrefNumber(long long number) { return std::to_string(number); }

namespace {

// Walks one line from left to right; each step consumes what it recognises.
class PrefLineReader {
 public:
  explicit PrefLineReader(std::string_view line) : line_(line) {}

  bool Read(PrefView* pref, std::string* name_text, std::string* value_text) {
    Blanks();
    if (!Word("user_pref") || !Punctuation('(') || !String(&pref->name, name_text) || !Punctuation(',') ||
        !Value(pref, value_text) || !Punctuation(')') || !Punctuation(';'))
      return false;
    Blanks();
    return at_ == line_.size() || line_.substr(at_, 2) == "//";
  }

 private:
  bool More() const { return at_ < line_.size(); }
  char Next() const { return line_[at_]; }

  void Blanks() {
    while (More() && (Next() == ' ' || Next() == '\t' || Next() == '\f' || Next() == '\v')) ++at_;
  }

  bool Word(std::string_view word) {
    if (line_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  // The character, after any blanks.
  bool Punctuation(char c) {
    Blanks();
    if (!More() || Next() != c) return false;
    ++at_;
    return true;
  }

  bool Value(PrefView* pref, std::string* text) {
    Blanks();
    if (More() && (Next() == '"' || Next() == '\'')) {
      pref->is_text = true;
      return String(&pref->value, text);
    }
    pref->is_text = false;
    const size_t start = at_;
    if (!Word("true") && !Word("false")) {
      if (More() && (Next() == '+' || Next() == '-')) ++at_;
      const size_t digits = at_;
      while (More() && Next() >= '0' && Next() <= '9') ++at_;
      if (at_ == digits) return false;
    }
    pref->value = line_.substr(start, at_ - start);
    return true;
  }

  // A string without escapes, as most are, is a view of the line; one with
  // escapes is decoded into `text`, a run at a time.
  bool String(std::string_view* view, std::string* text) {
    Blanks();
    if (!More() || (Next() != '"' && Next() != '\'')) return false;
    const char quote = line_[at_++];
    text->clear();
    const size_t begin = at_;
    for (;;) {
      size_t stop = at_;
      while (stop < line_.size() && line_[stop] != quote && line_[stop] != '\\') ++stop;
      if (stop == line_.size()) return false;
      if (line_[stop] == quote && at_ == begin) {
        *view = line_.substr(begin, stop - begin);
        at_ = stop + 1;
        return true;
      }
      text->append(line_.data() + at_, stop - at_);
      at_ = stop + 1;
      if (line_[stop] == quote) {
        *view = *text;
        return true;
      }
      if (!Escape(text)) return false;
    }
  }

  bool Escape(std::string* text) {
    if (!More()) return false;
    unsigned code = 0;
    switch (line_[at_++]) {
      case '"': *text += '"'; return true;
      case '\'': *text += '\''; return true;
      case '\\': *text += '\\'; return true;
      case 'n': *text += '\n'; return true;
      case 'r': *text += '\r'; return true;
      case 'x':
        if (!Hex(2, &code)) return false;
        *text += static_cast<char>(code);
        return true;
      case 'u':
        return CodePoint(text);
      default:
        return false;
    }
  }

  // \uHHHH, or a pair of them for a character beyond the first 65536.
  bool CodePoint(std::string* text) {
    unsigned code = 0;
    if (!Hex(4, &code)) return false;
    if (IsLowSurrogate(code)) return false;
    if (IsHighSurrogate(code)) {
      unsigned low = 0;
      if (!Word("\\u") || !Hex(4, &low) || !IsLowSurrogate(low)) return false;
      code = CombineSurrogates(code, low);
    }
    AppendUtf8(code, text);
    return true;
  }

  bool Hex(int count, unsigned* code) {
    for (int i = 0; i < count; ++i, ++at_) {
      if (!More()) return false;
      const int digit = HexDigitValue(static_cast<unsigned char>(Next()));
      if (digit < 0) return false;
      *code = *code * 16 + static_cast<unsigned>(digit);
    }
    return true;
  }

  std::string_view line_;
  size_t at_ = 0;
};

}  // namespace

bool ReadPrefLine(std::string_view line, PrefView* pref, std::string* name_text, std::string* value_text) {
  return PrefLineReader(line).Read(pref, name_text, value_text);
}

bool ReadPrefLine(std::string_view line, Pref* pref) {
  PrefView view;
  std::string name_text, value_text;
  if (!ReadPrefLine(line, &view, &name_text, &value_text)) return false;
  pref->name.assign(view.name);
  pref->is_text = view.is_text;
  pref->value.assign(view.value);
  return true;
}

}  // namespace pw
