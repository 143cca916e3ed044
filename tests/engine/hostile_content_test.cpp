// Hostile mail through the filter stage, the content step and composition,
// for an ordinary and a feature-phone account: each is forwarded, never
// dropped, and its marked text reaches the part files.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/compose/compose.h"
#include "engine/compose/compose_input.h"
#include "engine/filter/mail_filter.h"
#include "engine/forward/temp_files.h"
#include "filter_test_support.h"

namespace velnora::testing {
namespace {

struct HostileCase {
  const char* name;
  std::string mail;
  const char* mark;       // text that must arrive (in the ordinary account's parts)
  const char* forbidden;  // text that must not appear in any part ("" for none)
};

std::string Mail(const std::string& contentType, const std::string& body) {
  return "From: a@example.org\r\nTo: b@example.org\r\nSubject: hostile\r\nMIME-Version: 1.0\r\n"
         "Content-Type: " + contentType + "\r\n\r\n" + body;
}

std::string ManyParts(int count) {
  std::string body;
  for (int i = 0; i < count; ++i) body += "--b\r\nContent-Type: text/plain\r\n\r\npart " + std::to_string(i) + "\r\n";
  return Mail("multipart/mixed; boundary=b", body + "--b--\r\n");
}

std::vector<HostileCase> Cases() {
  return {
      {"empty boundary", Mail("multipart/mixed; boundary=\"\"", "--\r\n\r\nMARK-EMPTY\r\n----\r\n"), "MARK-EMPTY",
       ""},
      {"ten thousand parts", ManyParts(10000), "part 9999", ""},
      {"ten megabytes on one line",
       Mail("text/plain; charset=us-ascii", std::string(10 << 20, 'a') + " MARK-LONG\r\n"), "MARK-LONG", ""},
      {"boundary text inside bodies",
       Mail("multipart/mixed; boundary=mail",
            "--mail\r\nContent-Type: text/plain\r\n\r\nMARK-IN e-mail --mailbox x--mail\r\n--mail--\r\n"),
       "MARK-IN e-mail --mailbox x--mail", ""},
      {"NUL bytes", Mail("text/plain", std::string("before\0after MARK-NUL\r\n", 23)), "MARK-NUL", ""},
      {"RFC 2231 name with CR LF",
       Mail("multipart/mixed; boundary=b",
            "--b\r\nContent-Type: text/plain\r\n\r\nMARK-NAME\r\n--b\r\nContent-Type: application/pdf\r\n"
            "Content-Disposition: attachment; filename*=UTF-8''x%0D%0A--b%0D%0AContent-Type:%20text/html%0D%0A.pdf\r\n"
            "Content-Transfer-Encoding: base64\r\n\r\n" + std::string(4000, 'Q') + "\r\n--b--\r\n"),
       "MARK-NAME", "\r\n--b\r\nContent-Type: text/html"},
  };
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(HostileContent, ForwardedWholeNeverDropped) {
  for (const HostileCase& c : Cases()) {
    for (const bool phone : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (phone ? ", feature phone" : ""));
      FilterTables tables;
      AccountSettings& account = tables.account(0);
      account.partProcessing = account.htmlToText = 1;
      account.oversizeKb = 1;  // the attachment goes, its notice stays
      account.phoneMode = phone;
      account.phoneConvertBody = 0;
      SetText(account.myAddress, "me@velnora.test");
      SetText(account.forwardTo, "dest@velnora.test");
      MailMessage m = Parsed(c.mail);
      platform::CalendarTime now;
      now.year = 2026;
      FilterScope scope{*tables.settings, tables.log, now};
      ASSERT_EQ(MailFilterProc(scope, m, 0), 1) << CategoryNumber(m.resultCode);

      const ConvertOptions options{};
      ComposeInput input{account, tables.settings->extras[0], tables.common(), options, tables.folder.path(),
                         nullptr, ComposeStamps{"Wed, 09 Dec 2026 10:00:00 +0900", "261209-010000", 1}};
      ASSERT_EQ(ComposeSentMail(input, m), 1);
      std::string parts;
      for (int n = 0; n < m.partNumber; ++n) parts += FileText(OutgoingPartPath(tables.folder.path() + "/", n));
      ASSERT_FALSE(parts.empty());
      if (!phone) {
        EXPECT_NE(parts.find(c.mark), std::string::npos);
      }
      if (*c.forbidden) {
        EXPECT_EQ(parts.find(c.forbidden), std::string::npos);
      }
    }
  }
}

}  // namespace
}  // namespace velnora::testing
