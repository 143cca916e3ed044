// Composed part files sent by the SMTP client to aiosmtpd and Postfix: what the
// destination receives is the composed header and, byte for byte, the
// received body (dot lines included) followed by one CR LF.
#include <gtest/gtest.h>

#include <memory>

#include "config/account_settings.h"
#include "convert/convert_options.h"
#include "engine/compose/compose.h"
#include "engine/message/header_parse.h"
#include "engine/message/mail_message.h"
#include "support/smtp_peer.h"
#include "transport/smtp/smtp_client.h"
#include "transport/transport_fixture.h"

namespace velnora {
namespace {

using testing::SetText;
using testing::SmtpPeerKind;
using testing::TestAccount;
using testing::TransportFixture;

class ComposeDelivery : public ::testing::TestWithParam<SmtpPeerKind> {};

TEST_P(ComposeDelivery, BodyArrivesAsTheSenderWroteIt) {
  const auto peer = testing::MakeSmtpPeer(GetParam(), {{"plain", "", "sender", "secret", false}}, "");
  if (!peer->skipReason().empty()) GTEST_SKIP() << peer->skipReason();
  ASSERT_TRUE(peer->ready()) << peer->error();
  TransportFixture t(TestAccount::Smtp);
  t.UseSmtpPort(peer->port(0));
  t.account().mailFromIsSender = 1;
  t.account().fromIsMe = 1;
  auto extra = std::make_unique<AccountExtraSettings>();
  ConvertOptions options;

  const std::string body =
      ".\r\n..\r\n.foo\r\n\r\nQUIT\r\n.\r\nRSET\r\n" + std::string("\x82\xa0\xe9", 3) + "\r\nend";
  MailMessage message;
  ASSERT_TRUE(SetMessageText(message, "From: Taro <taro@sender.test>\r\nSubject: dots\r\n"
                                      "Date: Tue, 08 Dec 2026 10:00:00 +0900\r\n\r\n" + body));
  ParseMailContent(message);
  message.partLayout = 1;
  message.contentCharset = 1;
  message.bodyEncoding = 1;
  ComposeInput input{t.account(), *extra, t.common(), options, t.folder().path(), &t.log(), CurrentStamps()};
  ASSERT_EQ(ComposeSentMail(input, message), 1);
  ASSERT_EQ(message.partNumber, 1);

  ASSERT_TRUE(OpenSendSession(t.env(), t.account(), t.session()));
  ASSERT_EQ(SmtpGreet(t.env(), t.account(), t.session()), 1);
  EXPECT_EQ(SendSplitParts(t.env(), t.account(), t.session(), message.partNumber), SendResult::Sent);
  CloseSession(t.env(), t.session(), true, &t.account());

  const auto mails = peer->Mails(0);
  ASSERT_EQ(mails.size(), 1u) << peer->Log();
  EXPECT_EQ(mails[0].mailFrom, "taro@sender.test");
  EXPECT_EQ(mails[0].rcptTo, std::vector<std::string>{"dest@velnora.test"});
  const std::string& data0 = mails[0].data;
  const std::size_t headerEnd = data0.find("\r\n\r\n");
  ASSERT_NE(headerEnd, std::string::npos);
  const std::string header = data0.substr(0, headerEnd + 2);
  EXPECT_NE(header.find("From: <me@velnora.test>\r\n"), std::string::npos) << header;
  EXPECT_NE(header.find("Reply-To: Taro <taro@sender.test>\r\n"), std::string::npos) << header;
  EXPECT_NE(header.find("Content-Type: text/plain; charset=\"shift_jis\"\r\n"
                        "Content-Transfer-Encoding: 8bit\r\n"),
            std::string::npos)
      << header;
  EXPECT_TRUE(data0.substr(headerEnd + 4) ==
              "From:Taro <taro@sender.test>\r\n-----\r\n" + body + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Peers, ComposeDelivery, ::testing::Values(SmtpPeerKind::kAiosmtpd, SmtpPeerKind::kPostfix),
                         [](const auto& peerInfo) { return std::string(testing::SmtpPeerName(peerInfo.param)); });

}  // namespace
}  // namespace velnora
