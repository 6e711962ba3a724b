// The one provider this build configures. Host names and the mail domain come
// from the build (POSTWRIGHT_POP3_HOST, POSTWRIGHT_SMTP_HOST,
// POSTWRIGHT_MAIL_DOMAIN); ports and security are fixed.
#pragma once

#include "app/ProviderConfig.h"

namespace pw {

struct ProviderSettings {
  const char* pop3_host;
  int pop3_port;
  bool pop3_ssl;
  const char* smtp_host;
  int smtp_port;
  bool smtp_ssl;
  bool smtp_auth;
  const char* mail_domain;  // "@" and the domain: appended to the user name
};

constexpr ProviderSettings kProvider{
    POSTWRIGHT_POP3_HOST, 995, true, POSTWRIGHT_SMTP_HOST, 465, true, true, POSTWRIGHT_MAIL_DOMAIN,
};

}  // namespace pw
