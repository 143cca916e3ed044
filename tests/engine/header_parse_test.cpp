// Header splitting and indexing on messages as they arrive, including the
// quoting rules that decide where a header name can start.
#include "engine/message/header_parse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/filter_test_support.h"

namespace velnora {
namespace {

using testing::Parsed;

TEST(HeaderParseTest, SplitsHeaderAndBodyAtTheFirstBlankLine) {
  MailMessage m = Parsed("Subject: hi\r\nTo: a@b\r\n\r\nline 1\r\n\r\nline 2\r\n");
  EXPECT_EQ(m.Header(), std::string_view("Subject: hi\0\nTo: a@b", 20));
  ASSERT_NE(m.body, nullptr);
  EXPECT_EQ(m.Body(), "line 1\r\n\r\nline 2\r\n");
  EXPECT_EQ(m.bodyCapacity, m.buffer.size() - 24);
  EXPECT_EQ(m.subject, "Subject: hi");
  EXPECT_EQ(m.to, "To: a@b");
}

TEST(HeaderParseTest, WithoutBlankLineEverythingIsHeader) {
  MailMessage m = Parsed("Subject: hi\r\nTo: a@b\r\n");
  EXPECT_EQ(m.body, nullptr);
  EXPECT_TRUE(m.Body().empty());
  EXPECT_EQ(m.subject, "Subject: hi");
  EXPECT_EQ(m.to, "To: a@b\r\n");
}

// Where the header ends when the mail has no proper header block: from the
// first line that is no header field on, the text is the body (as Python's
// email parser reads it), so nothing of the text is lost.
struct SplitCase {
  const char* name;
  const char* text;
  const char* header;
  const char* body;  // nullptr: no body
};

class HeaderSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(HeaderSplitTest, TheBodyStartsAtTheFirstLineThatIsNoHeaderField) {
  const SplitCase& c = GetParam();
  MailMessage m = Parsed(c.text);
  std::string header(m.Header());
  std::replace(header.begin(), header.end(), '\0', '|');
  EXPECT_EQ(header, c.header);
  if (c.body) {
    ASSERT_NE(m.body, nullptr);
    EXPECT_EQ(m.Body(), c.body);
  } else {
    EXPECT_EQ(m.body, nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HeaderSplitTest,
    ::testing::Values(
        SplitCase{"NoHeaderAtAll", "hello world\r\nsecond: line\r\n", "", "hello world\r\nsecond: line\r\n"},
        SplitCase{"StatusLineThenText", "+OK 20 octets\r\nhello world\r\n", "+OK 20 octets", "hello world\r\n"},
        SplitCase{"TextRightAfterTheHeader", "+OK\r\nSubject: hi\r\nhello world\r\n\r\nmore\r\n",
                  "+OK|\nSubject: hi", "hello world\r\n\r\nmore\r\n"},
        SplitCase{"BlankFirstLine", "\r\nbody\r\n", "", "body\r\n"},
        SplitCase{"BareLineFeedText", "Subject: hi\nhello\n", "Subject: hi", "hello\n"},
        SplitCase{"FoldedThenBlank", "Subject: a\r\n b\r\n\r\nx", "Subject: a\r\n b", "x"},
        SplitCase{"AllHeader", "Subject: hi\r\nTo: a@b\r\n", "Subject: hi|\nTo: a@b\r\n", nullptr}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(HeaderParseTest, EmptyAndColonlessTextsAreSafe) {
  MailMessage empty = Parsed("");
  EXPECT_TRUE(empty.subject.empty());
  MailMessage none = Parsed("no header here\r\n\r\nbody");
  EXPECT_TRUE(none.from.empty());
  EXPECT_EQ(none.Body(), "no header here\r\n\r\nbody");
  MailMessage unloaded;
  ParseMailContent(unloaded);
  EXPECT_EQ(unloaded.body, nullptr);
}

TEST(HeaderParseTest, ColonsAfterSpacesAndInsideQuotesStartNoHeader) {
  MailMessage m = Parsed(
      "+OK 300 octets\r\n"
      "From: \"Smith: John\" <john@example.jp>\r\n"
      "Subject: Re: meeting at 10:30\r\n"
      "Date: Tue, 08 Dec 2026 10:00:00 +0900\r\n"
      "To: a@b\r\n\r\nbody");
  EXPECT_EQ(m.from, "From: \"Smith: John\" <john@example.jp>");
  EXPECT_EQ(m.subject, "Subject: Re: meeting at 10:30");
  EXPECT_EQ(m.date, "Date: Tue, 08 Dec 2026 10:00:00 +0900");
  EXPECT_EQ(m.to, "To: a@b");
}

TEST(HeaderParseTest, LoneQuoteInSubjectOrXLineHidesNothing) {
  MailMessage m = Parsed("Subject: 5\" screen\r\nCc: c@d\r\nX-Note: a\"b\r\nTo: a@b\r\n\r\n");
  EXPECT_EQ(m.subject, "Subject: 5\" screen");
  EXPECT_EQ(m.cc, "Cc: c@d");
  EXPECT_EQ(m.to, "To: a@b");
}

TEST(HeaderParseTest, UnbalancedQuoteInFromHidesHeadersUntilTheNextQuote) {
  MailMessage m = Parsed("From: \"Bob <b@x>\r\nTo: a@b\r\nSubject: x\"\r\nCc: c@d\r\n\r\n");
  EXPECT_EQ(m.from, "From: \"Bob <b@x>\r\nTo: a@b\r\nSubject: x\"");
  EXPECT_TRUE(m.to.empty());
  EXPECT_TRUE(m.subject.empty());
  EXPECT_EQ(m.cc, "Cc: c@d");
}

TEST(HeaderParseTest, HeaderNamesMatchWithoutCaseAndOnlyWhole) {
  MailMessage m = Parsed("SUBJECT: loud\r\nSubjects: other\r\nSubject-Extra: x\r\n\r\n");
  EXPECT_EQ(m.subject, "SUBJECT: loud");
}

TEST(HeaderParseTest, LaterLineOfTheSameNameWins) {
  MailMessage m = Parsed("Subject: first\r\nSubject: second\r\n\r\n");
  EXPECT_EQ(m.subject, "Subject: second");
}

TEST(HeaderParseTest, FoldedLinesStayInTheirHeader) {
  MailMessage m = Parsed("Subject: a\r\n b\r\nTo: x\r\n\r\n");
  EXPECT_EQ(m.subject, "Subject: a\r\n b");
  // A continuation whose first word ends in a colon counts as a new line.
  MailMessage f = Parsed("Subject: a\r\n\tnote: b\r\nTo: x\r\n\r\n");
  EXPECT_EQ(f.subject, "Subject: a");
  EXPECT_EQ(f.to, "To: x");
}

TEST(HeaderParseTest, LoneCarriageReturnEndsALine) {
  MailMessage m = Parsed("Subject: a\rTo: b\nCc: c\r\n\r\n");
  EXPECT_EQ(m.subject, "Subject: a");
  EXPECT_EQ(m.to, "To: b");
  EXPECT_EQ(m.cc, "Cc: c");
}

TEST(HeaderParseTest, ExtraSpacesAfterTheSubjectNameAreRemoved) {
  EXPECT_EQ(Parsed("Subject:   three\r\n\r\n").subject, "Subject: three");
  EXPECT_EQ(Parsed("Subject:  \r\n\r\n").subject, "Subject: ");
  EXPECT_EQ(Parsed("Subject: one\r\n\r\n").subject, "Subject: one");
  EXPECT_EQ(Parsed("Subject:none\r\n\r\n").subject, "Subject:none");
  // The line after the subject is untouched by the shift.
  MailMessage m = Parsed("Subject:    x\r\nTo: t\r\n\r\n");
  EXPECT_EQ(m.subject, "Subject: x");
  EXPECT_EQ(m.to, "To: t");
}

TEST(HeaderParseTest, FieldsAndListsAreIndexed) {
  MailMessage m = Parsed(
      "Received: one\r\nReceived: two\r\n"
      "X-Priority: 1\r\nPriority: urgent\r\nX-Mailer: M\r\nX-MSMail-Priority: High\r\n"
      "Importance: high\r\nUser-Agent: U\r\nReply-To: r@x\r\nSender: s@x\r\n"
      "MIME-Version: 1.0\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: 7bit\r\n"
      "Content-Disposition: inline\r\nMessage-ID: <id@x>\r\nIn-Reply-To: <p@x>\r\n"
      "References: <p@x>\r\nDisposition-Notification-To: a@x\r\nX-Confirm-Reading-To: b@x\r\n"
      "\r\n");
  ASSERT_EQ(m.received.size(), 2u);
  EXPECT_EQ(m.received[0], "Received: one");
  EXPECT_EQ(m.received[1], "Received: two");
  EXPECT_EQ(m.xPriority, "X-Priority: 1");
  EXPECT_EQ(m.priority, "Priority: urgent");
  EXPECT_EQ(m.xMailer, "X-Mailer: M");
  EXPECT_EQ(m.xMsmailPriority, "X-MSMail-Priority: High");
  EXPECT_EQ(m.importance, "Importance: high");
  EXPECT_EQ(m.userAgent, "User-Agent: U");
  EXPECT_EQ(m.replyTo, "Reply-To: r@x");
  EXPECT_EQ(m.sender, "Sender: s@x");
  EXPECT_EQ(m.mimeVersion, "MIME-Version: 1.0");
  EXPECT_EQ(m.contentType, "Content-Type: text/plain");
  EXPECT_EQ(m.contentTransferEncoding, "Content-Transfer-Encoding: 7bit");
  EXPECT_EQ(m.contentDisposition, "Content-Disposition: inline");
  EXPECT_EQ(m.messageId, "Message-ID: <id@x>");
  EXPECT_EQ(m.inReplyTo, "In-Reply-To: <p@x>");
  EXPECT_EQ(m.references, "References: <p@x>");
  EXPECT_EQ(m.readReceiptTo, "X-Confirm-Reading-To: b@x");  // one slot, the later wins
  // X- lines except X-Mailer, in order.
  ASSERT_EQ(m.xHeaders.size(), 3u);
  EXPECT_EQ(m.xHeaders[0], "X-Priority: 1");
  EXPECT_EQ(m.xHeaders[1], "X-MSMail-Priority: High");
  EXPECT_EQ(m.xHeaders[2], "X-Confirm-Reading-To: b@x");
}

TEST(HeaderParseTest, LineLimitsHold) {
  std::string text;
  for (int i = 0; i < 205; ++i) text += "Received: hop " + std::to_string(i) + "\r\n";
  text += "To: hidden\r\n\r\nbody";
  MailMessage m = Parsed(text);
  ASSERT_EQ(m.received.size(), 200u);
  EXPECT_TRUE(m.to.empty());
  EXPECT_TRUE(m.received.back().starts_with("Received: hop 199\r\nReceived: hop 200\r\n"));
  EXPECT_TRUE(m.received.back().ends_with("To: hidden"));

  std::string many;
  for (int i = 0; i < 60; ++i) many += "X-Tag" + std::to_string(i) + ": v\r\n";
  MailMessage x = Parsed(many + "\r\n");
  ASSERT_EQ(x.xHeaders.size(), 50u);
  EXPECT_EQ(x.xHeaders.back(), "X-Tag49: v");
}

TEST(HeaderParseTest, ParsingAgainClearsEarlierFields) {
  MailMessage m;
  ASSERT_TRUE(SetMessageText(m, "Subject: a\r\nX-A: 1\r\n\r\n"));
  ParseMailContent(m);
  ASSERT_TRUE(SetMessageText(m, "To: b\r\n\r\n"));
  ParseMailContent(m);
  EXPECT_TRUE(m.subject.empty());
  EXPECT_TRUE(m.xHeaders.empty());
  EXPECT_EQ(m.to, "To: b");
}

TEST(MailMessageTest, BufferSizesLeaveRoomForTheBody) {
  EXPECT_EQ(MessageBufferSize(0), 1048576u);
  EXPECT_EQ(MessageBufferSize(100), 1048576u);
  EXPECT_EQ(MessageBufferSize(524287), 1048576u);
  EXPECT_EQ(MessageBufferSize(524288), 1048576u);
  EXPECT_EQ(MessageBufferSize(600000), 1200000u);
  EXPECT_EQ(MessageBufferSize(1048575), 2097150u);
  EXPECT_EQ(MessageBufferSize(1048576), 2097152u);
  EXPECT_EQ(MessageBufferSize(5000000), 6048576u);
}

TEST(MailMessageTest, ActivityOfCarriesTheShownFields) {
  MailMessage m = Parsed("Subject: s\r\nFrom: f\r\nTo: t\r\nMessage-ID: <i>\r\nDate: d\r\n\r\n");
  m.resultCode = Category::Spam;
  MessageActivity a = ActivityOf(m, 12);
  EXPECT_EQ(a.fileSize, m.fileSize);
  EXPECT_EQ(a.resultCode, Category::Spam);
  EXPECT_EQ(a.statCount, 12);
  EXPECT_EQ(a.subject, "Subject: s");
  EXPECT_EQ(a.from, "From: f");
  EXPECT_EQ(a.to, "To: t");
  EXPECT_EQ(a.messageId, "Message-ID: <i>");
  EXPECT_EQ(a.date, "Date: d");
}

}  // namespace
}  // namespace velnora
