// What velnora-cli demo forwards: a few sample messages and the settings of
// the two demo accounts.
#pragma once

#include <string>
#include <vector>

#include "config/settings_image.h"

namespace velnora::cli {

// Plain ASCII (with lines ".", ".." and ".foo"), Japanese ISO-2022-JP with
// an encoded subject, multipart with an attachment, HTML.
std::vector<std::string> DemoMessages();

// How a demo account reaches its POP3 server.
enum class DemoSecurity { StartTls, ImplicitTls };

struct DemoAccount {
  const char* name;
  const char* user;
  const char* password;
  uint16_t popPort;
  bool apop;
  DemoSecurity security;
};

// Account `index` of `image` forwarding `account` to the demo recipient
// through the SMTP server on `smtpPort`, checked without delays.
void SetDemoAccount(SettingsImage& image, int index, const DemoAccount& account, uint16_t smtpPort);

inline constexpr char kDemoRecipient[] = "you@example.net";

}  // namespace velnora::cli
