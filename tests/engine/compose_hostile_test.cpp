// Received header texts of every odd shape, under random account options:
// the forwarded header must stay a header. Its only line breaks are CR LF
// (the wire would turn a lone CR or LF into a line end), a line that does
// not start with a space or tab is one the composition wrote, the own
// X-Mailer line stands near its end, and the body follows unchanged.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>

#include "compose_fixture.h"

namespace velnora::testing {
namespace {

const char* const kPieces[] = {
    "a@b.example", "<x@y.example>", "\"Quoted, Name\"", "(comment", ")", ",", ";", " ", "  ", "\t",
    "\r\n ", "\r\n\tfold", "\r", "\n", "\r\r", "\n\n", "\r\nBcc: evil@x.example", "\nX-Evil: 1",
    "=?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?=", "=?UTF-8?B?5Lu25ZCN?=", "=?utf-8?Q?caf=C3=A9?=",
    "=?ISO-2022-JP?B?broken", "\x82\xa0", "\xe9", "\x88", "Re: ", "Fw: ", "local", "@", "\"", "<", ">",
    "\x1b$B", "boundary=\"b\"", "multipart/mixed;", ":", "."};

const char* const kNames[] = {"From", "To", "Cc", "Reply-To", "Subject", "Date", "Message-ID",
                              "References", "In-Reply-To", "Content-Type", "Content-Disposition",
                              "Content-Transfer-Encoding", "X-Note", "Received", "MIME-Version",
                              "Disposition-Notification-To", "X-Mailer", "Importance"};

const std::set<std::string> kWritten = {
    "Received", "Errors-To", "To", "Sender", "From", "Reply-To", "Cc", "Date", "Resent-Date",
    "In-Reply-To", "X-MSMail-Priority", "Priority", "X-Priority", "Importance", "MIME-Version",
    "References", "X-Note", "Message-ID", "Resent-Message-ID", "Resent-Sender", "Resent-From",
    "Resent-To", "Subject", "Content-Type", "Content-Disposition", "Content-Transfer-Encoding",
    "X-Mailer", "X-Mailer-Info", "Disposition-Notification-To",
    "X-Evil"};  // a received line of its own after a lone LF

// Setters, not member pointers: the settings record is packed.
using FlagSetter = void (*)(AccountSettings&, int16_t);
const FlagSetter kFlags[] = {
    [](AccountSettings& a, int16_t v) { a.sendReceivedHeaders = v; },
    [](AccountSettings& a, int16_t v) { a.addErrorsTo = v; },
    [](AccountSettings& a, int16_t v) { a.toIsFirstDest = v; },
    [](AccountSettings& a, int16_t v) { a.addMyDomain = v; },
    [](AccountSettings& a, int16_t v) { a.stripAddressComments = v; },
    [](AccountSettings& a, int16_t v) { a.fromIsMe = v; },
    [](AccountSettings& a, int16_t v) { a.senderIsFrom = v; },
    [](AccountSettings& a, int16_t v) { a.ccAllDests = v; },
    [](AccountSettings& a, int16_t v) { a.addResentHeaders = v; },
    [](AccountSettings& a, int16_t v) { a.sendXHeaders = v; },
    [](AccountSettings& a, int16_t v) { a.sendDispositionNotificationTo = v; },
    [](AccountSettings& a, int16_t v) { a.dropSplitBodies = v; },
    [](AccountSettings& a, int16_t v) { a.subjectPrefixOn = v; },
    [](AccountSettings& a, int16_t v) { a.removeOriginalSubject = v; },
    [](AccountSettings& a, int16_t v) { a.limitSubjectOn = v; },
    [](AccountSettings& a, int16_t v) { a.unicodeToJis = v; },
    [](AccountSettings& a, int16_t v) { a.noOriginalSenderInfo = v; },
};

TEST_F(ComposeTest, HostileHeadersNeverBreakTheForwardedHeader) {
  std::mt19937 random(20261208);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  SetText(account->subjectPrefix, "[fw] ");
  SetText(account->forwardTo, " d1@far.example   d2 ");
  extra->replaceFromOn = 1;
  extra->appendSenderToSubject = 1;
  SetText(extra->replaceFromList, "x@y.example");
  for (int round = 0; round < 1500; ++round) {
    for (FlagSetter set : kFlags) set(*account, static_cast<int16_t>(pick(2)));
    account->limitSubjectBytes = static_cast<int16_t>(pick(40) - 2);
    std::string text;
    const int lines = 1 + pick(11);
    for (int i = 0; i < lines; ++i) {
      text += kNames[pick(std::size(kNames))];
      text += ":";
      const int pieces = pick(8);
      for (int k = 0; k < pieces; ++k) text += kPieces[pick(std::size(kPieces))];
      text += "\r\n";
    }
    const std::string body = std::string("line\r\n\r\n.\r\n") + kPieces[pick(std::size(kPieces))];
    Load(text + "\r\n" + body);
    message.partLayout = std::array{1, 2, 93, 94, 96, 98}[pick(6)];
    message.contentCharset = std::array{1, 2, 13, 14, 60, 99}[pick(6)];
    message.bodyEncoding = 1 + pick(4);
    // A blank line of bare line ends may have ended the received header early.
    const std::string receivedBody(message.Body());
    ASSERT_EQ(ComposeParsed(), 1);

    const std::string part = Part();
    const std::size_t envelopeEnd = part.find("\r\n");
    // The own X-Mailer line is followed only by the optional account-name and
    // read-receipt lines before the empty line.
    const std::size_t mailer = part.find("X-Mailer: Velnora (JP-400) V5.20.00 \r\n");
    ASSERT_NE(mailer, std::string::npos) << ::testing::PrintToString(text);
    const std::size_t headerEnd = part.find("\r\n\r\n", mailer) + 2;
    const std::string header = part.substr(envelopeEnd + 2, headerEnd - envelopeEnd - 2);
    for (std::size_t i = 0; i < header.size(); ++i) {
      if (header[i] == '\r') {
        ASSERT_EQ(header[i + 1], '\n') << text;
      }
      if (header[i] == '\n') {
        ASSERT_EQ(header[i - 1], '\r') << text;
      }
    }
    std::size_t at = 0;
    while (at < header.size()) {
      const std::size_t end = header.find("\r\n", at);
      const std::string line = header.substr(at, end - at);
      at = end + 2;
      ASSERT_FALSE(line.empty()) << text;
      if (line[0] == ' ' || line[0] == '\t') continue;
      EXPECT_TRUE(kWritten.count(line.substr(0, line.find(':')))) << line << "\n" << text;
    }
    const std::string written = part.substr(headerEnd + 2);
    if (!account->fromIsMe && !(message.partLayout == 94 && account->dropSplitBodies)) {
      ASSERT_EQ(written, receivedBody + "\r\n") << ::testing::PrintToString(text);
    }
  }
}

}  // namespace
}  // namespace velnora::testing
