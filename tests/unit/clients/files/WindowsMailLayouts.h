// Account files of jdoe@quillset.example that are not laid out one element a
// line, as hand edits and other programs leave them, and what the rewrite
// makes of each (none: the file is refused and left as it is). Shared by the
// unit tests and the Wine runs, where xmllint reads every rewritten file.
#pragma once

#include <string>
#include <vector>

#include "WindowsMailFixtures.h"

namespace pw {

struct AccountLayout {
  const char* name;
  std::string before;               // 8-bit text, made UTF-16 with its mark
  std::vector<std::string> after;   // the lines of the rewritten file; empty: refused
};

inline std::vector<AccountLayout> OddAccountLayouts() {
  const std::vector<std::string> e = AccountElements();
  const std::string address = "<SMTP_Email_Address type=\"SZ\">jdoe@quillset.example</SMTP_Email_Address>";
  const std::string decl = kAccountDeclaration;
  // The known elements but those at `in_place`, in table order, behind `lines`.
  auto with_rest = [&e](std::vector<std::string> lines, const std::vector<size_t>& in_place) {
    for (size_t i = 0; i < e.size(); ++i) {
      bool placed = false;
      for (size_t p : in_place) placed = placed || p == i;
      if (!placed) lines.push_back(e[i]);
    }
    lines.push_back("</MessageAccount>");
    return lines;
  };
  return {
      {"all on one line",
       decl + "<MessageAccount><Extra type=\"SZ\">x</Extra><POP3_Server type=\"SZ\">old</POP3_Server>" + address +
           "</MessageAccount>",
       with_rest({decl, "<MessageAccount>", "    <Extra type=\"SZ\">x</Extra>", e[2], e[15]}, {2, 15})},
      {"values over two lines, line ends of every kind",
       decl + "\r\n<MessageAccount>\r\n\t<SMTP_Display_Name type=\"SZ\">Jo\r\nDoe</SMTP_Display_Name>\n"
              "\t<Signature type=\"SZ\">Regards,\nJo\rD.</Signature>\r\n\t" + address + "\r\n</MessageAccount>\r\n",
       with_rest({decl, "<MessageAccount>", e[14], "    <Signature type=\"SZ\">Regards,", "Jo", "D.</Signature>", e[15]},
                 {14, 15})},
      {"elements sharing a line, with each other and with the closing tag",
       decl + "\r\n<MessageAccount>\r\n  <A type=\"SZ\">a</A> <!-- b --> <B/>\r\n  " + address + "</MessageAccount>",
       with_rest({decl, "<MessageAccount>", "    <A type=\"SZ\">a</A>", "    <!-- b -->", "    <B/>", e[15]}, {15})},
      {"tabs and line breaks between names and attributes",
       decl + "\r\n<MessageAccount\r\n>\r\n<SMTP_Email_Address\ttype=\"SZ\" >jdoe@quillset.example</SMTP_Email_Address >"
              "\r\n<POP3_Port\r\n\ttype='DWORD'>0000006e</POP3_Port>\r\n<Odd\ttype = 'SZ'>&#74;o &amp; co</Odd>\r\n"
              "</MessageAccount>\r\n",
       with_rest({decl, "<MessageAccount", ">", e[15], e[5], "    <Odd\ttype = 'SZ'>&#74;o &amp; co</Odd>"}, {5, 15})},
      {"a known element twice, comments and instructions around the account",
       "<!-- kept -->\r\n<?app x?>\r\n<MessageAccount>\r\n" + address + "<POP3_Server type=\"SZ\">a</POP3_Server>\r\n"
           "<POP3_Server type=\"SZ\">b</POP3_Server><![CDATA[<raw>]]>\r\n</MessageAccount>\r\n<!-- end -->\r\n",
       [&] {
         std::vector<std::string> lines =
             with_rest({"<!-- kept -->", "<?app x?>", "<MessageAccount>", e[15], e[2], "    <![CDATA[<raw>]]>"},
                       {2, 15});
         lines.push_back("<!-- end -->");
         return lines;
       }()},
      {"cut off before the closing tag", decl + "\r\n<MessageAccount>\r\n    " + address + "\r\n    <Signa", {}},
      {"an unescaped ampersand",
       decl + "\r\n<MessageAccount>\r\n" + address + "\r\n<SMTP_Display_Name type=\"SZ\">Tom & Jerry</SMTP_Display_Name>"
              "\r\n</MessageAccount>\r\n",
       {}},
      {"tags that do not match", "<MessageAccount>\r\n" + address + "\r\n<A type=\"SZ\">a</B>\r\n</MessageAccount>", {}},
      {"no opening tag", address + "\r\n</MessageAccount>\r\n", {}},
      {"another document element", "<Account>\r\n" + address + "\r\n</Account>\r\n", {}},
      {"a second document element",
       "<MessageAccount>\r\n" + address + "\r\n</MessageAccount>\r\n<MessageAccount>\r\n</MessageAccount>\r\n", {}},
      {"a control character", "<MessageAccount>\r\n" + address + "\r\n<A>\x01</A>\r\n</MessageAccount>\r\n", {}},
      {"an undeclared entity", "<MessageAccount>\r\n" + address + "\r\n<A>&nbsp;</A>\r\n</MessageAccount>\r\n", {}},
      {"a declaration not at the start", "\r\n" + decl + "\r\n<MessageAccount>\r\n" + address + "</MessageAccount>", {}},
      {"an attribute twice",
       "<MessageAccount>\r\n" + address + "\r\n<A type=\"SZ\" type=\"SZ\">a</A>\r\n</MessageAccount>\r\n", {}},
      {"a comment holding two hyphens", "<MessageAccount>\r\n" + address + "<!-- a -- b -->\r\n</MessageAccount>", {}},
  };
}

}  // namespace pw
