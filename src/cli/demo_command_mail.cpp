#include "cli/demo_command_mail.h"

#include <cstring>

namespace velnora::cli {
namespace {

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

std::vector<std::string> DemoMessages() {
  return {
      "From: Alice Example <alice@example.com>\r\n"
      "To: alice@example.com\r\n"
      "Subject: Plain ASCII sample\r\n"
      "Date: Tue, 08 Dec 2026 09:00:00 +0900\r\n"
      "Message-ID: <demo-ascii@example.com>\r\n"
      "\r\n"
      "Hello from the Velnora demo.\r\n"
      ".\r\n"
      "..\r\n"
      ".foo\r\n"
      "The three lines above begin with dots.\r\n",

      "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
      "To: alice@example.com\r\n"
      "Subject: =?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTyEiRT5BdyVGJTklSBsoQg==?=\r\n"
      "Date: Tue, 08 Dec 2026 09:01:00 +0900\r\n"
      "Message-ID: <demo-japanese@example.jp>\r\n"
      "MIME-Version: 1.0\r\n"
      "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
      "Content-Transfer-Encoding: 7bit\r\n"
      "\r\n"
      "\x1b$B$3$l$OF|K\x5c"
      "8l$N%a!<%k$G$9!#\x1b(B\r\n"
      "\x1b$BE>Aw$N%G%b$G$9!#\x1b(B\r\n",

      "From: Bob Example <bob@example.com>\r\n"
      "To: bob@example.com\r\n"
      "Subject: Multipart sample with an attachment\r\n"
      "Date: Tue, 08 Dec 2026 09:02:00 +0900\r\n"
      "Message-ID: <demo-multipart@example.com>\r\n"
      "MIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=\"velnora-demo-boundary\"\r\n"
      "\r\n"
      "--velnora-demo-boundary\r\n"
      "Content-Type: text/plain; charset=us-ascii\r\n"
      "\r\n"
      "The attachment is a small text file.\r\n"
      "--velnora-demo-boundary\r\n"
      "Content-Type: application/octet-stream; name=\"demo.txt\"\r\n"
      "Content-Transfer-Encoding: base64\r\n"
      "Content-Disposition: attachment; filename=\"demo.txt\"\r\n"
      "\r\n"
      "VmVsbm9yYSBkZW1vIGF0dGFjaG1lbnQK\r\n"
      "--velnora-demo-boundary--\r\n",

      "From: Bob Example <bob@example.com>\r\n"
      "To: bob@example.com\r\n"
      "Subject: HTML sample\r\n"
      "Date: Tue, 08 Dec 2026 09:03:00 +0900\r\n"
      "Message-ID: <demo-html@example.com>\r\n"
      "MIME-Version: 1.0\r\n"
      "Content-Type: text/html; charset=us-ascii\r\n"
      "\r\n"
      "<html><body><p>An <b>HTML</b> message.</p><p>Second paragraph.</p></body></html>\r\n",
  };
}

void SetDemoAccount(SettingsImage& image, int index, const DemoAccount& demo, uint16_t smtpPort) {
  AccountSettings& account = image.accounts[index];
  account.enabled = 1;
  SetText(account.accountName, demo.name);
  SetText(account.popServer, "127.0.0.1");
  SetText(account.popUser, demo.user);
  SetText(account.popPassword, demo.password);
  account.popPort = int16_t(demo.popPort);
  account.useApop = demo.apop ? 1 : 0;
  account.popSsl = demo.security == DemoSecurity::ImplicitTls ? 1 : 0;
  account.popStartTls = demo.security == DemoSecurity::StartTls ? 1 : 0;
  // The demo server's certificate is made on the spot and trusted by nobody.
  account.tlsNoVerify = 1;
  SetText(account.smtpServer, "127.0.0.1");
  account.smtpPort = int16_t(smtpPort);
  account.smtpStartTls = 1;  // the demo's SMTP server takes mail only after STARTTLS
  SetText(account.myAddress, std::string(demo.user) + "@example.com");
  SetText(account.forwardTo, kDemoRecipient);
  account.noRecvDelay = 1;
  account.noSendDelay = 1;
}

}  // namespace velnora::cli
