// Sessions against a scripted server that several transport tests run: the
// POP3 log-in of the fixture's account, an SMTP greeting, and one step of an
// SMTP session.
#pragma once

#include <optional>
#include <string>

#include "support/fake_server.h"
#include "transport/mail_session.h"
#include "transport/smtp/smtp_client.h"
#include "transport_fixture.h"

namespace velnora::testing {

// The scripted part of the fixture account's USER/PASS log-in, then STAT
// answered with `statReply`.
inline void ScriptLogin(FakeServer& server, const std::string& statReply) {
  server.Send("+OK POP3 ready\r\n")
      .Expect("USER alice\r\n")
      .Send("+OK\r\n")
      .Expect("PASS s3cret-pw\r\n")
      .Send("+OK logged in\r\n")
      .Expect("STAT\r\n")
      .Send(statReply);
}

// The greeting and the reply to HELO of an SMTP server.
inline FakeServer& Greeted(FakeServer& server) {
  return server.Send("220 mx\r\n").ReadLine().Send("250 mx\r\n");
}

// Starts `server`, opens an SMTP session to it and greets, runs `step`, and
// closes without QUIT. Empty when the session is not open and greeted.
template <typename Step>
auto InSmtpSession(TransportFixture& t, FakeServer& server, Step step) -> std::optional<decltype(step())> {
  server.Start();
  t.UseSmtpPort(server.port());
  std::optional<decltype(step())> result;
  if (OpenSendSession(t.env(), t.account(), t.session()) && SmtpGreet(t.env(), t.account(), t.session()) == 1) {
    result = step();
  }
  CloseSession(t.env(), t.session(), false, &t.account());
  server.Wait(5000);
  return result;
}

}  // namespace velnora::testing
