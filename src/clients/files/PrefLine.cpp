#include "clients/files/PrefLine.h"

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

}  // namespace pw
