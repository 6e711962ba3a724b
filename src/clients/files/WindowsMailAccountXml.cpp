#include "clients/files/WindowsMailAccountXml.h"

#include <set>

#include "platform/Text.h"

namespace pw {

namespace {

const char16_t kRoot[] = u"MessageAccount";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool IsNameStart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' ||
         (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

bool IsNameChar(char16_t c) {
  return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == 0xB7;
}


// Characters an XML document may hold at all: no control characters but
// tab and line ends, no unpaired surrogates, no U+FFFE or U+FFFF.
bool HoldsOnlyXmlCharacters(const std::u16string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x20 && !IsBlank(c)) return false;
    if (c == 0xFFFE || c == 0xFFFF || IsLowSurrogate(c)) return false;
    if (IsHighSurrogate(c)) {
      if (i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) return false;
      ++i;
    }
  }
  return true;
}

bool IsXmlCodePoint(unsigned long c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

std::u16string Trim(const std::u16string& text) {
  return std::u16string(Trimmed(std::u16string_view(text), std::u16string_view(u" \t\r\n")));
}

class Reader {
 public:
  explicit Reader(const std::u16string& text) : text_(text) {}

  std::optional<AccountXml> Document() {
    AccountXml xml;
    if (Next(u"<?xml") && pos_ + 5 < text_.size() && IsBlank(text_[pos_ + 5])) {
      const size_t start = pos_;
      if (!Declaration()) return std::nullopt;
      xml.declaration = text_.substr(start, pos_ - start);
    }
    if (!Misc(&xml.prolog)) return std::nullopt;
    const size_t start = pos_;
    std::u16string name;
    bool empty = false;
    if (!StartTag(&name, &empty) || name != kRoot) return std::nullopt;
    xml.opening = text_.substr(start, pos_ - start);
    if (!empty && !(RootContent(&xml.settings) && EndTag(name))) return std::nullopt;
    if (!Misc(&xml.epilog) || pos_ != text_.size()) return std::nullopt;
    return xml;
  }

 private:
  bool Next(const char16_t* literal) const { return text_.compare(pos_, std::char_traits<char16_t>::length(literal), literal) == 0; }
  bool Take(const char16_t* literal) {
    if (!Next(literal)) return false;
    pos_ += std::char_traits<char16_t>::length(literal);
    return true;
  }
  bool SkipBlanks() {
    const size_t start = pos_;
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    return pos_ > start;
  }
  // Moves past `end`; false when the text ends first.
  bool SkipPast(const char16_t* end, size_t* found = nullptr) {
    const size_t at = text_.find(end, pos_);
    if (at == std::u16string::npos) return false;
    if (found) *found = at;
    pos_ = at + std::char_traits<char16_t>::length(end);
    return true;
  }

  bool Name(std::u16string* name) {
    const size_t start = pos_;
    if (pos_ >= text_.size() || !IsNameStart(text_[pos_])) return false;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    *name = text_.substr(start, pos_ - start);
    return true;
  }

  // "&amp;", "&#233;", "&#xE9;" ...; without a document type only the five
  // predefined entities exist.
  bool Reference(std::u16string* value) {
    ++pos_;  // '&'
    const size_t end = text_.find(u';', pos_);
    if (end == std::u16string::npos) return false;
    const std::u16string ref = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (ref.size() > 1 && ref[0] == u'#') {
      const bool hex = ref[1] == u'x';
      unsigned long code = 0;
      const size_t first = hex ? 2 : 1;
      if (first == ref.size() || ref.size() - first > 8) return false;
      for (size_t i = first; i < ref.size(); ++i) {
        const int digit = HexDigitValue(ref[i]);
        if (digit < 0 || (!hex && digit > 9)) return false;
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
      }
      if (!IsXmlCodePoint(code)) return false;
      AppendUtf16(static_cast<char32_t>(code), value);
      return true;
    }
    const struct {
      const char16_t* name;
      char16_t c;
    } predefined[] = {{u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''}};
    for (const auto& entity : predefined) {
      if (ref == entity.name) {
        *value += entity.c;
        return true;
      }
    }
    return false;
  }

  bool Declaration() {
    pos_ += 5;  // "<?xml"
    std::set<std::u16string> names;
    bool version = false;
    for (;;) {
      const bool blank = SkipBlanks();
      if (Take(u"?>")) return version;
      std::u16string name;
      std::u16string value;
      if (!blank || !Name(&name) || !names.insert(name).second || !AttributeValue(&value)) return false;
      if (names.size() == 1 && name != u"version") return false;
      version = true;
    }
  }

  // '=' and the quoted value after an attribute's name.
  bool AttributeValue(std::u16string* value) {
    SkipBlanks();
    if (!Take(u"=")) return false;
    SkipBlanks();
    if (pos_ >= text_.size() || (text_[pos_] != u'"' && text_[pos_] != u'\'')) return false;
    const char16_t quote = text_[pos_++];
    while (pos_ < text_.size() && text_[pos_] != quote) {
      if (text_[pos_] == u'<') return false;
      if (text_[pos_] == u'&') {
        if (!Reference(value)) return false;
      } else {
        *value += text_[pos_++];
      }
    }
    if (pos_ == text_.size()) return false;
    ++pos_;
    return true;
  }

  // "<name attr="v" ...>" or "<name .../>".
  bool StartTag(std::u16string* name, bool* empty) {
    if (!Take(u"<") || !Name(name)) return false;
    std::set<std::u16string> attributes;
    for (;;) {
      const bool blank = SkipBlanks();
      if (Take(u"/>") || Take(u">")) {
        *empty = text_[pos_ - 2] == u'/';
        return true;
      }
      std::u16string attribute;
      std::u16string value;
      if (!blank || !Name(&attribute) || !attributes.insert(attribute).second || !AttributeValue(&value))
        return false;
    }
  }

  bool EndTag(const std::u16string& name) {
    std::u16string closing;
    if (!Take(u"</") || !Name(&closing) || closing != name) return false;
    SkipBlanks();
    return Take(u">");
  }

  bool Comment() {
    size_t end = 0;
    pos_ += 4;  // "<!--"
    const size_t start = pos_;
    if (!SkipPast(u"--", &end)) return false;
    // "--" may only close the comment, and "-" may not come right before it.
    return Take(u">") && (end == start || text_[end - 1] != u'-');
  }

  bool Instruction() {
    pos_ += 2;  // "<?"
    std::u16string target;
    if (!Name(&target)) return false;
    if (target.size() == 3 && (target[0] | 0x20) == u'x' && (target[1] | 0x20) == u'm' && (target[2] | 0x20) == u'l')
      return false;
    if (Take(u"?>")) return true;
    return SkipBlanks() && SkipPast(u"?>");
  }

  // Comments, instructions and blanks outside the document element.
  bool Misc(std::vector<AccountXmlItem>* items) {
    for (;;) {
      SkipBlanks();
      const size_t start = pos_;
      if (Next(u"<!--")) {
        if (!Comment()) return false;
      } else if (Next(u"<?")) {
        if (!Instruction()) return false;
      } else {
        return true;
      }
      items->push_back({text_.substr(start, pos_ - start), u"", u""});
    }
  }

  // What lies between a start tag and its end tag; `value` gets its text.
  bool Content(std::u16string* value) {
    while (pos_ < text_.size()) {
      if (Next(u"</")) return true;
      if (!ContentPiece(value)) return false;
    }
    return false;
  }

  // One element, comment, instruction, section or run of text.
  bool ContentPiece(std::u16string* value) {
    if (Next(u"<!--")) return Comment();
    if (Next(u"<![CDATA[")) {
      size_t end = 0;
      pos_ += 9;
      const size_t start = pos_;
      if (!SkipPast(u"]]>", &end)) return false;
      *value += text_.substr(start, end - start);
      return true;
    }
    if (Next(u"<?")) return Instruction();
    if (Next(u"<")) return Element(nullptr, value);
    if (Next(u"&")) return Reference(value);
    if (Next(u"]]>")) return false;
    *value += text_[pos_++];
    return true;
  }

  bool Element(std::u16string* name, std::u16string* value) {
    std::u16string own_name;
    bool empty = false;
    if (!StartTag(&own_name, &empty)) return false;
    if (name) *name = own_name;
    if (empty) return true;
    // Each level of nesting costs stack; no account file nests deeply.
    if (++depth_ > kMaxDepth) return false;
    const bool read = Content(value) && EndTag(own_name);
    --depth_;
    return read;
  }

  // The settings: each element, comment, instruction or run of text that is
  // not blank becomes an item of its own.
  bool RootContent(std::vector<AccountXmlItem>* items) {
    while (pos_ < text_.size() && !Next(u"</")) {
      const size_t start = pos_;
      AccountXmlItem item;
      if (Next(u"<") && !Next(u"<!") && !Next(u"<?")) {
        if (!Element(&item.name, &item.value)) return false;
      } else {
        // Text up to the next markup, or one comment, section or instruction.
        const bool markup = Next(u"<");
        do {
          if (!ContentPiece(&item.value)) return false;
        } while (!markup && pos_ < text_.size() && !Next(u"<"));
      }
      item.source = Trim(text_.substr(start, pos_ - start));
      if (!item.source.empty()) items->push_back(item);
    }
    return pos_ < text_.size();
  }

  static constexpr int kMaxDepth = 64;

  const std::u16string& text_;
  size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

std::optional<std::u16string> AccountXml::Value(const std::u16string& name) const {
  for (const AccountXmlItem& item : settings)
    if (item.name == name) return item.value;
  return std::nullopt;
}

std::optional<AccountXml> ReadAccountXml(const std::u16string& file_text) {
  const bool marked = !file_text.empty() && file_text[0] == 0xFEFF;
  const std::u16string text = marked ? file_text.substr(1) : file_text;
  if (!HoldsOnlyXmlCharacters(text)) return std::nullopt;
  return Reader(text).Document();
}

}  // namespace pw
