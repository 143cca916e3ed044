// Multipart content processing as the filter stage runs it: what each
// account option makes of the parts, byte for byte, and the mails that go
// on unchanged because they cannot be taken apart safely.
#include "engine/content/mime_process.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "compose_fixture.h"
#include "convert/charset_code.h"
#include "engine/filter/filter_content.h"
#include "support/case_name.h"

namespace velnora::testing {
namespace {

const std::string kHead = "From: a@s.example\r\nSubject: parts\r\nMIME-Version: 1.0\r\n";

std::string Mail(const std::string& type, const std::string& body) {
  return kHead + "Content-Type: " + type + "\r\n\r\n" + body;
}

const std::string kTextPart = "--m\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nSee the report.\r\n";
const std::string kAlternative = Mail(
    "multipart/alternative; boundary=\"m\"",
    kTextPart + "--m\r\nContent-Type: text/html; charset=us-ascii\r\n\r\n"
                "<html><body><p>See the <b>report</b>.</p></body></html>\r\n--m--\r\n");

// An encoded body of exactly 150,000 bytes: 146 KiB and a bit.
std::string PdfBody() {
  std::string body;
  for (int line = 0; line < 1923; ++line) body += std::string(76, 'A') + "\r\n";
  return body + "AAAA\r\n";
}

std::string PdfHeaders(const std::string& name) {
  return "Content-Type: application/pdf; name=\"" + name + "\"\r\nContent-Disposition: attachment; filename=\"" +
         name + "\"\r\nContent-Transfer-Encoding: base64";
}

std::string PdfMail(const std::string& name) {
  return Mail("multipart/mixed; boundary=\"m\"",
              kTextPart + "--m\r\n" + PdfHeaders(name) + "\r\n\r\n" + PdfBody() + "--m--\r\n");
}

std::string Notice(const std::string& label, const std::string& name, const std::string& size) {
  return "--m\r\nContent-Type: text/plain; charset=\"" + label + "\"\r\n\r\n--REMOVED FILE--\r\n" + name +
         (size.empty() ? "" : "\r\nSize = " + size + " KB") + "\r\n";
}

const std::string kTextOut = "--m\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nSee the report.\r\n";
const std::string kClose = "\r\n\r\n--m--\r\n";

std::string OnePart(const std::string& headers, const std::string& body) {
  return Mail("multipart/mixed; boundary=\"m\"", "--m\r\n" + headers + "\r\n\r\n" + body + "--m--\r\n");
}

std::string ManyParts(int count) {
  std::string body;
  for (int n = 0; n < count; ++n) body += "--m\r\n\r\ntext\r\n";
  return Mail("multipart/mixed; boundary=m", body + "--m--\r\n");
}

struct ProcessCase {
  const char* name;
  std::function<void(AccountSettings&)> set;
  std::string mail;
  int forward;
  Category result;
  int layout;
  std::optional<std::string> body;  // the rebuilt body; none when it goes on unchanged
};

void On(AccountSettings& a) {
  a.partProcessing = 1;
  a.oversizeKb = 1000;
}

const ProcessCase kCases[] = {
    {"alternative keeps the text", On, kAlternative, 1, Category::ForwardedWithoutAttachments, 97,
     kTextOut + kClose},
    {"alternative converts the preferred html",
     [](AccountSettings& a) { On(a), a.preferHtmlPart = 1, a.htmlToText = 1; }, kAlternative, 1,
     Category::ForwardedWithoutAttachments, 97,
     "--m\r\nContent-Type: text/plain; charset=\"us-ascii\"\r\nContent-Transfer-Encoding: 7bit\r\n\r\n"
     "See the report.\r\n" + kClose},
    {"oversize pdf becomes its notice", [](AccountSettings& a) { On(a), a.oversizeKb = 100; },
     PdfMail("report.pdf"), 1, Category::ForwardedWithoutAttachments, 98,
     kTextOut + Notice("us-ascii", "report.pdf", "147") + kClose},
    {"pdf under the limit stays", On, PdfMail("report.pdf"), 1, Category::ForwardedWithoutAttachments,
     98, kTextOut + "--m\r\n" + PdfHeaders("report.pdf") + "\r\n\r\n" + PdfBody() + kClose},
    {"listed extension stays when oversize",
     [](AccountSettings& a) { On(a), a.oversizeKb = 100, a.keepExtensionsOn = 1, SetText(a.keepExtensions, ".pdf .doc"); },
     PdfMail("report.PDF"), 1, Category::ForwardedWithoutAttachments, 98,
     kTextOut + "--m\r\n" + PdfHeaders("report.PDF") + "\r\n\r\n" + PdfBody() + kClose},
    {"star keeps every file",
     [](AccountSettings& a) { On(a), a.oversizeKb = 100, a.keepExtensionsOn = 1, SetText(a.keepExtensions, "*"); },
     PdfMail("report.zip"), 1, Category::ForwardedWithoutAttachments, 98,
     kTextOut + "--m\r\n" + PdfHeaders("report.zip") + "\r\n\r\n" + PdfBody() + kClose},
    {"oversize drop", [](AccountSettings& a) { On(a), a.oversizeKb = 100, a.oversizeDrop = 1; },
     PdfMail("report.pdf"), 0, Category::SizeFiltered, 98, std::nullopt},
    {"delivery report passes", On,
     Mail("multipart/report; report-type=\"delivery-status\"; boundary=m", kTextPart + "--m--\r\n"), 1,
     Category::Forwarded, 98, std::nullopt},
    {"part processing off passes", [](AccountSettings&) {}, PdfMail("report.pdf"), 1, Category::Forwarded, 98,
     std::nullopt},
    {"only attachments wanted, none there", [](AccountSettings& a) { On(a), a.onlyWithAttachments = 1; },
     kAlternative, 0, Category::NotForwarded, 98, std::nullopt},
    {"message removed, file kept",
     [](AccountSettings& a) { On(a), a.onlyWithAttachments = 1, a.attachmentsOnly = 1; },
     PdfMail("report.pdf"), 1, Category::ForwardedWithoutAttachments, 98,
     "--m\r\nContent-Type: text/plain; \r\nContent-Transfer-Encoding: 7bit\r\n\r\n(MESSAGE REMOVED)\r\n\r\n"
     "--m\r\n" + PdfHeaders("report.pdf") + "\r\n\r\n" + PdfBody() + kClose},
    // A mail that cannot be taken apart goes on as it came: it is never
    // dropped, so no deletion can lose it.
    {"empty boundary forwards unchanged", On, Mail("multipart/mixed; boundary=\"\"", "--\r\n\r\nx\r\n----\r\n"), 1,
     Category::Forwarded, 98, std::nullopt},
    {"boundary absent from the body forwards unchanged", On, Mail("multipart/mixed; boundary=zz", "text\r\n"), 1,
     Category::Forwarded, 98, std::nullopt},
    {"101 parts forward unchanged", On, ManyParts(101), 1, Category::Forwarded, 98, std::nullopt},
    {"rfc 2231 name is noticed and converted", [](AccountSettings& a) { On(a), a.oversizeKb = 0; },
     OnePart("Content-Type: application/octet-stream\r\nContent-Disposition: attachment;\r\n"
             " filename*=utf-8''%E5%A0%B1%E5%91%8A.pdf", "QUJD\r\n"),
     1, Category::ForwardedWithoutAttachments, 98,
     Notice("iso-2022-jp", "\x1b$BJs9p\x1b(B.pdf", "1") + kClose},
    // ESC is replaced; a NUL ends the decoded name.
    {"controls in a name cannot open a part", [](AccountSettings& a) { On(a), a.oversizeKb = 0; },
     OnePart("Content-Type: application/pdf;\r\n name*=utf-8''x%0D%0A--m%0D%0AContent-Type:%09text%2Fhtml%1B%00.pdf",
             "QUJD\r\n"),
     1, Category::ForwardedWithoutAttachments, 98,
     Notice("us-ascii", "x__--m__Content-Type:_text/html_", "1") + kClose},
    {"a name alone makes a text an attachment", On,
     OnePart("Content-Type: text/plain; name=\"notes.txt\"", "hello\r\n"), 1,
     Category::ForwardedWithoutAttachments, 98, Notice("us-ascii", "notes.txt", "1") + kClose},
    {"a file without a name is noticed too", [](AccountSettings& a) { On(a), a.oversizeKb = 0; },
     OnePart("Content-Type: application/zip", "UEsDBA==\r\n"), 1, Category::ForwardedWithoutAttachments, 98,
     Notice("us-ascii", "", "1") + kClose},
    {"charset parameter in capitals converts, 8bit by its bytes",
     [](AccountSettings& a) { On(a), a.unicodeToJis = 1; },
     OnePart("Content-Type: text/plain; CHARSET=UTF-8", "\xe6\x97\xa5\xe6\x9c\xac\r\n"), 1,
     Category::ForwardedWithoutAttachments, 98,
     "--m\r\nContent-Type: text/plain; charset=\"shift_jis\"\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
     "\x93\xfa\x96{\r\n" + kClose},
    {"decoded ascii text goes as 7bit", [](AccountSettings& a) { On(a), a.unicodeToJis = 1; },
     OnePart("Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64", "SGkNCg==\r\n"), 1,
     Category::ForwardedWithoutAttachments, 98,
     "--m\r\nContent-Type: text/plain; charset=\"shift_jis\"\r\nContent-Transfer-Encoding: 7bit\r\n\r\nHi\r\n" +
         kClose},
    {"phone gets one iso-2022-jp text",
     [](AccountSettings& a) { a.phoneMode = 1, a.noAutoCrlf = 1; },
     Mail("multipart/mixed; boundary=m",
          "--m\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<html><body><p>\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"
          "</p></body></html>\r\n--m\r\nContent-Type: image/jpeg; name=\"photo.jpg\"\r\n"
          "Content-Transfer-Encoding: base64\r\n\r\n/9j/4AAQ\r\n--m--\r\n"),
     1, Category::ForwardedToPhone, 1, "\x1b$BF|K\\8l\x1b(B\r\n\r\n--REMOVED--\r\nphoto.jpg\r\n"},
    {"phone labels ascii then japanese iso-2022-jp",
     [](AccountSettings& a) { a.phoneMode = 1, a.noAutoCrlf = 1; },
     Mail("multipart/mixed; boundary=m",
          "--m\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nHello\r\n"
          "--m\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n\xe6\x97\xa5\xe6\x9c\xac\r\n--m--\r\n"),
     1, Category::ForwardedToPhone, 1, "Hello\r\n\x1b$BF|K\\\x1b(B\r\n"},
};

class MimeProcessTest : public ComposeTest, public ::testing::WithParamInterface<ProcessCase> {};

TEST_P(MimeProcessTest, RebuildsTheBodyBesideTheReceivedOne) {
  const ProcessCase& c = GetParam();
  c.set(*account);
  Load(c.mail);
  ASSERT_TRUE(ClassifyContent(message, *account));
  const std::string received(message.Body());
  EXPECT_EQ(ProcessMultipartMessage(message, *account, *common), c.forward);
  EXPECT_EQ(message.resultCode, c.result);
  EXPECT_EQ(message.partLayout, c.layout);
  if (c.forward == 1) {
    EXPECT_EQ(message.convertedBody, c.body);
  }
  if (account->phoneMode) {
    EXPECT_EQ(message.contentCharset, charset::kIso2022Jp);
  }
  EXPECT_EQ(message.Body(), received) << "the received body is only read";
}

INSTANTIATE_TEST_SUITE_P(Options, MimeProcessTest, ::testing::ValuesIn(kCases), CaseName<ProcessCase>);

}  // namespace
}  // namespace velnora::testing
