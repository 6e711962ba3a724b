// Windows Mail account files as the unit and the Wine tests expect them:
// 8-bit text made into the UTF-16 LE bytes of a file, and the lines of the
// account Postwright writes.
#pragma once

#include <string>
#include <vector>

namespace pw {

// Every byte followed by a zero byte; with the mark FF FE in front.
inline std::string Utf16File(const std::string& text, bool mark = true) {
  std::string bytes = mark ? "\xFF\xFE" : "";
  for (char c : text) bytes += std::string(1, c) + '\0';
  return bytes;
}

inline std::string CrlfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

inline std::vector<std::string> AccountElements(const std::string& display_name = "Jo Doe",
                                                const std::string& address = "jdoe@quillset.example") {
  return {
      "    <Account_Name type=\"SZ\">" + address + "</Account_Name>",
      "    <Connection_Type type=\"DWORD\">00000003</Connection_Type>",
      "    <POP3_Server type=\"SZ\">pop.quillset.example</POP3_Server>",
      "    <POP3_User_Name type=\"SZ\">" + address + "</POP3_User_Name>",
      "    <POP3_Use_Sicily type=\"DWORD\">00000000</POP3_Use_Sicily>",
      "    <POP3_Port type=\"DWORD\">000003e3</POP3_Port>",
      "    <POP3_Secure_Connection type=\"DWORD\">00000001</POP3_Secure_Connection>",
      "    <POP3_Timeout type=\"DWORD\">0000003c</POP3_Timeout>",
      "    <Leave_Mail_On_Server type=\"DWORD\">00000000</Leave_Mail_On_Server>",
      "    <SMTP_Server type=\"SZ\">smtp.quillset.example</SMTP_Server>",
      "    <SMTP_Use_Sicily type=\"DWORD\">00000002</SMTP_Use_Sicily>",
      "    <SMTP_Port type=\"DWORD\">000001d1</SMTP_Port>",
      "    <SMTP_Secure_Connection type=\"DWORD\">00000001</SMTP_Secure_Connection>",
      "    <SMTP_Timeout type=\"DWORD\">0000003c</SMTP_Timeout>",
      "    <SMTP_Display_Name type=\"SZ\">" + display_name + "</SMTP_Display_Name>",
      "    <SMTP_Email_Address type=\"SZ\">" + address + "</SMTP_Email_Address>",
  };
}

const char kAccountDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-16\" ?>";

// The whole file of a new account (the display name and address as the file spells them).
inline std::string NewAccountFile(const std::string& display_name = "Jo Doe",
                                  const std::string& address = "jdoe@quillset.example") {
  std::vector<std::string> lines{kAccountDeclaration, "<MessageAccount>"};
  for (const std::string& element : AccountElements(display_name, address)) lines.push_back(element);
  lines.push_back("</MessageAccount>");
  return Utf16File(CrlfLines(lines));
}

}  // namespace pw
