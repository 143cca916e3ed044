// A single-part message as the part file carries it: HTML converted to text
// with the charset label and transfer encoding of the bytes written when
// the account asks for it, byte for byte as received when it does not;
// oversize files and images replaced by their notices; feature-phone text.
#include <gtest/gtest.h>

#include <optional>

#include "compose_fixture.h"
#include "engine/filter/filter_content.h"
#include "engine/content/content_text.h"
#include "engine/content/single_part.h"

namespace velnora::testing {
namespace {

// One page in three encodings: a heading, a paragraph with a link, style
// and script that must vanish.
const std::string kHtmlUtf8 =
    "<html><head><style>p{color:red}</style><script>var x = \"<b>\";</script></head><body><h1>"
    "\xe3\x81\x8a\xe7\x9f\xa5\xe3\x82\x89\xe3\x81\x9b</h1><p>\xe8\xa9\xb3\xe7\xb4\xb0\xe3\x81\xaf"
    "<a href=\"https://example.org/a\">\xe3\x81\x93\xe3\x81\xa1\xe3\x82\x89</a></p></body></html>";
const std::string kHtmlSjis =
    "<html><head><style>p{color:red}</style><script>var x = \"<b>\";</script></head><body><h1>"
    "\x82\xa8\x92m\x82\xe7\x82\xb9</h1><p>\x8f\xda\x8d\xd7\x82\xcd<a href=\"https://example.org/a\">"
    "\x82\xb1\x82\xbf\x82\xe7</a></p></body></html>";
const std::string kHtmlJis =
    "<html><head><style>p{color:red}</style><script>var x = \"<b>\";</script></head><body><h1>"
    "\x1b$B$*CN$i$;\x1b(B</h1><p>\x1b$B>\\:Y$O\x1b(B<a href=\"https://example.org/a\">"
    "\x1b$B$3$A$i\x1b(B</a></p></body></html>";
// The same page Base64-encoded for transport.
const std::string kHtmlUtf8Base64 =
    "PGh0bWw+PGhlYWQ+PHN0eWxlPnB7Y29sb3I6cmVkfTwvc3R5bGU+PHNjcmlwdD52YXIgeCA9ICI8\r\n"
    "Yj4iOzwvc2NyaXB0PjwvaGVhZD48Ym9keT48aDE+44GK55+l44KJ44GbPC9oMT48cD7oqbPntLDj\r\n"
    "ga88YSBocmVmPSJodHRwczovL2V4YW1wbGUub3JnL2EiPuOBk+OBoeOCiTwvYT48L3A+PC9ib2R5\r\n"
    "PjwvaHRtbD4=\r\n";

const std::string kTextUtf8 =
    "\xe3\x81\x8a\xe7\x9f\xa5\xe3\x82\x89\xe3\x81\x9b\r\n\r\n\xe8\xa9\xb3\xe7\xb4\xb0\xe3\x81\xaf\r\n"
    "[ https://example.org/a ]\r\n\xe3\x81\x93\xe3\x81\xa1\xe3\x82\x89\r\n";
const std::string kTextSjis =
    "\x82\xa8\x92m\x82\xe7\x82\xb9\r\n\r\n\x8f\xda\x8d\xd7\x82\xcd\r\n[ https://example.org/a ]\r\n"
    "\x82\xb1\x82\xbf\x82\xe7\r\n";
const std::string kTextUtf8Base64 =
    "44GK55+l44KJ44GbDQoNCuips+e0sOOBrw0KWyBodHRwczovL2V4YW1wbGUub3JnL2EgXQ0K\r\n"
    "44GT44Gh44KJDQo=\r\n";

struct Switches {
  bool partProcessing = true;
  bool htmlToText = true;
  bool htmlUseUtf8 = true;
  bool htmlBase64 = true;
};

struct Case {
  const char* name;
  Switches on;
  std::string contentType;  // received
  std::string transfer;     // received
  std::string body;         // received
  std::string typeLine;     // written
  std::string transferLine; // written
  std::string bodyOut;      // written, with the line end composition adds
};

const Case kCases[] = {
    {"utf8 to base64 text", {}, "text/html; charset=UTF-8", "8bit", kHtmlUtf8,
     "Content-Type: text/plain; charset=\"utf-8\"", "Content-Transfer-Encoding: base64",
     kTextUtf8Base64 + "\r\n"},
    {"utf8 to 8bit text", {.htmlBase64 = false}, "text/html; charset=UTF-8", "8bit", kHtmlUtf8,
     "Content-Type: text/plain; charset=\"utf-8\"", "Content-Transfer-Encoding: 8bit",
     kTextUtf8 + "\r\n"},
    {"utf8 to shift_jis", {.htmlUseUtf8 = false}, "text/html; charset=UTF-8", "8bit", kHtmlUtf8,
     "Content-Type: text/plain; charset=\"shift_jis\"", "Content-Transfer-Encoding: 8bit",
     kTextSjis + "\r\n"},
    {"base64 transfer decoded", {.htmlBase64 = false}, "text/html; charset=\"utf-8\"", "base64",
     kHtmlUtf8Base64, "Content-Type: text/plain; charset=\"utf-8\"",
     "Content-Transfer-Encoding: 8bit", kTextUtf8 + "\r\n"},
    {"shift_jis stays", {}, "text/html; charset=Shift_JIS", "8bit", kHtmlSjis,
     "Content-Type: text/plain; charset=\"shift_jis\"", "Content-Transfer-Encoding: 8bit",
     kTextSjis + "\r\n"},
    {"iso-2022-jp to shift_jis", {}, "text/html; charset=ISO-2022-JP", "7bit", kHtmlJis,
     "Content-Type: text/plain; charset=\"shift_jis\"", "Content-Transfer-Encoding: 8bit",
     kTextSjis + "\r\n"},
    {"whole document labelled text", {}, "text/plain; charset=us-ascii", "7bit",
     "<HTML><HEAD></HEAD><BODY>Hello<BR>world</BODY></HTML>",
     "Content-Type: text/plain; charset=\"us-ascii\"", "Content-Transfer-Encoding: 7bit",
     "Hello\r\nworld\r\n\r\n"},
    {"part processing off", {.partProcessing = false}, "text/html; charset=UTF-8", "8bit", kHtmlUtf8,
     "Content-Type: text/html; charset=\"utf-8\"", "Content-Transfer-Encoding: 8bit",
     kHtmlUtf8 + "\r\n"},
    {"html to text off", {.htmlToText = false}, "text/html; charset=UTF-8", "base64",
     kHtmlUtf8Base64, "Content-Type: text/html; charset=\"utf-8\"",
     "Content-Transfer-Encoding: base64", kHtmlUtf8Base64 + "\r\n"},
};

TEST_F(ComposeTest, SinglePartHtmlGoesOutAsTheTextOrAsReceived) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    account->partProcessing = c.on.partProcessing;
    account->htmlToText = c.on.htmlToText;
    account->htmlUseUtf8 = c.on.htmlUseUtf8;
    account->htmlBase64 = c.on.htmlBase64;
    account->extractLinks = 1;
    FreeMessage(message);
    Load("From: t@s.example\r\nSubject: page\r\nContent-Type: " + c.contentType +
         "\r\nContent-Transfer-Encoding: " + c.transfer + "\r\n\r\n" + c.body);
    const std::string received(message.Body());
    ASSERT_FALSE(ClassifyContent(message, *account));
    EXPECT_TRUE(ProcessSinglePartMessage(message, *account, *common));
    ASSERT_EQ(ComposeParsed(), 1);
    EXPECT_EQ(HeaderLine("Content-Type:"), c.typeLine);
    EXPECT_EQ(HeaderLine("Content-Transfer-Encoding:"), c.transferLine);
    EXPECT_EQ(BodyOfPart(), c.bodyOut);
    EXPECT_EQ(message.Body(), received) << "the received buffer stays as it was";
  }
}

// What ProcessSinglePartMessage makes of one received message.
struct Outcome {
  bool forward = true;
  Category result = Category::Forwarded;
  std::optional<std::string> body;  // nullopt: the received body goes out
  CharsetCode charset = 0;          // checked when a body is expected
};

struct ProcessCase {
  const char* name;
  void (*setUp)(AccountSettings&);
  std::string head;  // header lines, each ending in CR LF
  std::string body;
  Outcome out;
};

void Oversize(AccountSettings& a) {
  a.partProcessing = 1;
  a.oversizeKb = 0;  // every message is over the limit
}
void OversizeNoInfo(AccountSettings& a) {
  Oversize(a);
  a.phoneNoRemovedFileInfo = 1;
}
void OversizeDrop(AccountSettings& a) {
  Oversize(a);
  a.oversizeDrop = 1;
}
void DropSplit(AccountSettings& a) { a.dropSplitBodies = 1; }
void UnicodeToJis(AccountSettings& a) {
  a.partProcessing = 1;
  a.unicodeToJis = 1;
}
void Phone(AccountSettings& a) {
  a.phoneMode = 1;
  a.partProcessing = 1;
  a.noAutoCrlf = 1;
}

const std::string kPdf = "Content-Type: application/pdf\r\nContent-Transfer-Encoding: base64\r\n";
const std::string kAttached = "Content-Disposition: attachment; filename=\"report.pdf\"\r\n";
const std::string kBigBody = std::string(5000, 'A') + "\r\n";

const ProcessCase kProcessCases[] = {
    {"oversize image becomes its notice", Oversize, "Content-Type: image/png\r\n", kBigBody,
     {true, Category::ForwardedWithoutAttachments, "(IMAGE_REMOVED)\r\n", charset::kIso2022Jp}},
    {"oversize named file, room for the name", Oversize, kPdf + kAttached, kBigBody,
     {true, Category::ForwardedWithoutAttachments, "--REMOVED_FILE--\r\nreport.pdf\r\n",
      charset::kIso2022Jp}},
    {"oversize named file, no room for the name", Oversize, kPdf + kAttached,
     std::string(28, 'A') + "\r\n",
     {true, Category::ForwardedWithoutAttachments, "(FILE_REMOVED)\r\n", charset::kIso2022Jp}},
    {"oversize named file, a tiny body", Oversize, kPdf + kAttached, std::string(8, 'A') + "\r\n",
     {true, Category::ForwardedWithoutAttachments, "\r\n", charset::kIso2022Jp}},
    {"oversize file without removal information", OversizeNoInfo, kPdf + kAttached, kBigBody,
     {true, Category::ForwardedWithoutAttachments, "\r\n", charset::kIso2022Jp}},
    {"oversize dropped", OversizeDrop, kPdf + kAttached, kBigBody, {false, Category::SizeFiltered}},
    {"RFC 2231 name in the notice as ISO-2022-JP", Oversize,
     kPdf + "Content-Disposition: attachment;\r\n filename*=UTF-8''%E5%A0%B1%E5%91%8A.pdf\r\n",
     kBigBody,
     {true, Category::ForwardedWithoutAttachments, "--REMOVED_FILE--\r\n\x1b$BJs9p\x1b(B.pdf\r\n",
      charset::kIso2022Jp}},
    {"a name cannot open a part", Oversize,
     kPdf + "Content-Disposition: attachment; filename=\"=?UTF-8?B?YQ0KLS1iDQpiLnBkZg==?=\"\r\n",
     kBigBody,
     {true, Category::ForwardedWithoutAttachments, "--REMOVED_FILE--\r\na__--b__b.pdf\r\n",
      charset::kIso2022Jp}},
    {"later fragment of a split mail", DropSplit,
     "Content-Type: message/partial; id=\"x@y\"; number=2; total=2\r\n", "tail\r\n",
     {false, Category::NotForwarded}},
    {"first fragment of a split mail", DropSplit,
     "Content-Type: message/partial; id=\"x@y\"; number=1; total=2\r\n", "head\r\n",
     {true, Category::Forwarded}},
    {"fragment eleven is a later one", DropSplit,
     "Content-Type: message/partial; number=11; total=12\r\n", "x\r\n",
     {false, Category::NotForwarded}},
    {"unicode text into the local code page", UnicodeToJis,
     "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n",
     "44GK55+l44KJ44Gb\r\n",
     {true, Category::Forwarded, "\x82\xa8\x92m\x82\xe7\x82\xb9", charset::kShiftJis}},
    {"phone: utf-8 page becomes local text", Phone,
     "Content-Type: text/html; charset=utf-8\r\n",
     "<html><head></head><body>\xe3\x81\x8a\xe7\x9f\xa5\xe3\x82\x89\xe3\x81\x9b</body></html>",
     {true, Category::ForwardedToPhone, "\x82\xa8\x92m\x82\xe7\x82\xb9\r\n", charset::kShiftJis}},
    {"phone: a PDF without disposition is not sent as text", Phone, kPdf, "JVBERi0xLjQKJeLjz9MK\r\n",
     {true, Category::ForwardedToPhone, "(FILE_REMOVED)\r\n", charset::kIso2022Jp}},
    {"phone: UTF-16 text is not cut at its first NUL", Phone,
     "Content-Type: text/plain; charset=utf-16\r\nContent-Transfer-Encoding: base64\r\n",
     "//5IAGkA\r\n", {true, Category::ForwardedToPhone, "\r\n", charset::kIso2022Jp}},
    {"phone: a Korean text without 8-bit sending", Phone, "Content-Type: text/plain; charset=euc-kr\r\n",
     "\xb0\xa1\r\n", {false, Category::CharsetFiltered}},
    {"phone: a later fragment", Phone, "Content-Type: message/partial; number=1\r\n", "x\r\n",
     {false, Category::NotForwarded}},
};

TEST_F(ComposeTest, SinglePartProcessingByTheAccountsOptions) {
  for (const ProcessCase& c : kProcessCases) {
    SCOPED_TRACE(c.name);
    *account = AccountSettings{};
    c.setUp(*account);
    FreeMessage(message);
    Load("From: t@s.example\r\nSubject: s\r\n" + c.head + "\r\n" + c.body);
    const std::string received(message.Body());
    ASSERT_FALSE(ClassifyContent(message, *account));
    EXPECT_EQ(ProcessSinglePartMessage(message, *account, *common), c.out.forward);
    EXPECT_EQ(message.resultCode, c.out.result);
    EXPECT_EQ(message.Body(), received) << "the received buffer stays as it was";
    if (!c.out.forward) continue;
    EXPECT_EQ(message.OutgoingBody(), c.out.body.value_or(received));
    if (!c.out.body) continue;
    EXPECT_EQ(message.contentCharset, c.out.charset);
    EXPECT_EQ(message.partLayout, kLayoutText);
    const bool eightBit = HasEightBitByte(*c.out.body);
    EXPECT_EQ(message.bodyEncoding, eightBit ? kTransfer8bit : kTransfer7bit);
  }
}

}  // namespace
}  // namespace velnora::testing
