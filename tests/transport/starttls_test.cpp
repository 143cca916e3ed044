// STARTTLS and STLS never fall back to plain text: a server that does not
// offer them, refuses them, says more than its one go-ahead line (text an
// attacker injected before the handshake) or does not speak TLS after it
// ends the session, and no credentials or mail are sent (the transcript
// shows it). Implicit TLS and STARTTLS together are a settings error.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/fake_server.h"
#include "transport/pop3/pop3_client.h"
#include "transport/smtp/smtp_client.h"
#include "transport/smtp/smtp_starttls.h"
#include "transport_fixture.h"

namespace velnora::testing {
namespace {

struct DowngradeCase {
  const char* name;
  TestAccount kind;
  std::function<void(FakeServer&)> script;
  const char* entry;  // a word of the activity entry
  bool conflict = false;
};

void SmtpOffering(FakeServer& s, const std::string& ehloReply) {
  s.Send("220 mx ESMTP\r\n").ExpectPrefix("EHLO ").Send(ehloReply);
}

const DowngradeCase kCases[] = {
    {"SMTP: STARTTLS not offered", TestAccount::Smtp,
     [](FakeServer& s) { SmtpOffering(s, "250-mx\r\n250 AUTH PLAIN LOGIN\r\n"); s.Hang(300); },
     "not offered"},
    {"SMTP: STARTTLS refused", TestAccount::Smtp,
     [](FakeServer& s) {
       SmtpOffering(s, "250-mx\r\n250-STARTTLS\r\n250 AUTH PLAIN\r\n");
       s.Expect("STARTTLS\r\n").Send("454 4.7.0 TLS not available\r\n").Hang(300);
     },
     "refused"},
    {"SMTP: reply injected after the 220", TestAccount::Smtp,
     [](FakeServer& s) {
       SmtpOffering(s, "250-mx\r\n250 starttls\r\n");
       s.Expect("STARTTLS\r\n").Send("220 go ahead\r\n220 injected\r\n").Hang(300);
     },
     "STARTTLS"},
    {"SMTP: plain text after the 220", TestAccount::Smtp,
     [](FakeServer& s) {
       SmtpOffering(s, "250-mx\r\n250 STARTTLS\r\n");
       s.Expect("STARTTLS\r\n").Send("220 go ahead\r\n").Send("250 not TLS at all\r\n").Hang(300);
     },
     "SSL/TLS"},
    {"SMTP: SSL and STARTTLS together", TestAccount::Smtp, [](FakeServer&) {}, "STARTTLS", true},
    {"POP3: STLS refused", TestAccount::Pop3,
     [](FakeServer& s) { s.Send("+OK ready\r\n").Expect("STLS\r\n").Send("-ERR not here\r\n").Hang(300); },
     "STLS"},
    {"POP3: reply injected after the +OK", TestAccount::Pop3,
     [](FakeServer& s) {
       s.Send("+OK ready\r\n").Expect("STLS\r\n").Send("+OK begin\r\n+OK injected\r\n").Hang(300);
     },
     "STLS"},
    {"POP3: plain text after the +OK", TestAccount::Pop3,
     [](FakeServer& s) {
       s.Send("+OK ready\r\n").Expect("STLS\r\n").Send("+OK begin\r\n").Send("+OK hello\r\n").Hang(300);
     },
     "SSL/TLS"},
    {"POP3: SSL and STLS together", TestAccount::Pop3, [](FakeServer&) {}, "STARTTLS", true},
};

TEST(StartTls, NeverFallsBackToPlainText) {
  for (const DowngradeCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TransportFixture t(c.kind);
    FakeServer server;
    c.script(server);
    server.Start();
    bool opened = false;
    if (c.kind == TestAccount::Smtp) {
      t.account().smtpAuth = 1;
      t.account().smtpStartTls = 1;
      t.account().smtpSsl = c.conflict ? 1 : 0;
      t.UseSmtpPort(server.port());
      opened = OpenSendSession(t.env(), t.account(), t.session()) &&
               SmtpGreet(t.env(), t.account(), t.session()) == 1;
      CloseSession(t.env(), t.session(), false, &t.account());
    } else {
      t.account().popStartTls = 1;
      t.account().popSsl = c.conflict ? 1 : 0;
      t.UsePort(server.port());
      opened = OpenRcvSession(t.env(), t.account(), t.runtime()) >= 0;
      CloseSession(t.env(), t.runtime().session, false, &t.account());
    }
    if (!c.conflict) server.Wait(5000);  // a conflict never connects
    EXPECT_FALSE(opened);
    EXPECT_TRUE(t.HasActivity(c.entry)) << t.ActivityTexts();
    if (c.conflict) {
      EXPECT_EQ(server.ConnectionsAccepted(), 0);
    }
    for (const char* secret : {"AUTH", "MAIL", "RCPT", "USER", "PASS", "APOP", "HELO"}) {
      EXPECT_EQ(server.Received().find(secret), std::string::npos) << secret << " sent in plain text";
    }
  }
}

TEST(StartTls, ExtensionsAndWholeReplies) {
  EXPECT_TRUE(OffersExtension("250-mx\r\n250-PIPELINING\r\n250 STARTTLS\r\n", "STARTTLS"));
  EXPECT_TRUE(OffersExtension("250-mx\r\n250-starttls\r\n250 SIZE\r\n", "STARTTLS"));
  EXPECT_FALSE(OffersExtension("250-mx STARTTLS\r\n250 X-STARTTLS-NOT\r\n", "STARTTLS"));
  EXPECT_FALSE(OffersExtension("550-STARTTLS\r\n550 no\r\n", "STARTTLS"));
  EXPECT_TRUE(IsWholeReply("220 go\r\n"));
  EXPECT_TRUE(IsWholeReply("220-go\r\n220 ahead\r\n"));
  EXPECT_FALSE(IsWholeReply("220 go\r\n250 more\r\n"));
  EXPECT_FALSE(IsWholeReply("220 go\r\nx"));
}

}  // namespace
}  // namespace velnora::testing
