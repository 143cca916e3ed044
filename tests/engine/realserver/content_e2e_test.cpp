// Content conversion end to end: one mail per account through Dovecot, the
// program and aiosmtpd, each account with its own content switches. What
// arrives is read back with Python's email package: no defects, every text
// part decoded strictly under its label, files compared by SHA-256.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "forwarding_rig.h"
#include "support/dovecot_server.h"
#include "support/smtp_peer.h"
#include "support/temp_folder.h"
#include "support/test_paths.h"

namespace velnora {
namespace {

using testing::DovecotServer;
using testing::ForwardingRig;
using testing::SinkMail;

// Runs a shell command and returns its standard output; `ok` tells exit 0.
std::string Run(const std::string& command, bool* ok = nullptr) {
  std::string out;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return out;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
  const int status = ::pclose(pipe);
  if (ok) *ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return out;
}

void WriteFile(const std::string& path, const std::string& data) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(data.data(), 1, data.size(), file);
  std::fclose(file);
}

struct Leaf {
  std::string type, charset, sha256, text;
};

// The leaf parts of a mail as Python's email package reads them; a parse
// defect or an undecodable text fails the test.
std::vector<Leaf> Leaves(const std::string& data) {
  testing::TempFolder folder;
  WriteFile(folder.File("mail.eml"), data);
  bool ok = false;
  const std::string out = Run("/usr/bin/python3 " + testing::SourceDir() +
                                  "/tests/support/mail_leaf_parts.py " + folder.File("mail.eml") + " 2>&1",
                              &ok);
  EXPECT_TRUE(ok) << out << "\n" << data.substr(0, 4000);
  std::vector<Leaf> leaves;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    Leaf leaf;
    fields >> leaf.type >> leaf.charset >> leaf.sha256;
    std::getline(fields, leaf.text);
    if (!leaf.text.empty() && leaf.text.front() == ' ') leaf.text.erase(0, 1);
    leaves.push_back(leaf);
  }
  return leaves;
}

// A 2 MB "PDF" of fixed pseudo-random bytes, its Base64 lines and SHA-256
// (both from Python, independent of the program's own encoders).
struct Attachment {
  std::string base64, sha256;
};

const Attachment& Pdf() {
  static const Attachment pdf = [] {
    testing::TempFolder folder;
    const std::string script =
        "import base64,hashlib,random,sys\n"
        "r=random.Random(7)\n"
        "data=b'%PDF-1.4\\n'+bytes(r.randrange(256) for _ in range(2*1024*1024))\n"
        "open(sys.argv[1],'w').write(base64.encodebytes(data).decode().replace('\\n','\\r\\n'))\n"
        "print(hashlib.sha256(data).hexdigest())\n";
    WriteFile(folder.File("make.py"), script);
    Attachment a;
    a.sha256 = Run("/usr/bin/python3 " + folder.File("make.py") + " " + folder.File("b64"));
    a.sha256.resize(64);
    std::FILE* file = std::fopen(folder.File("b64").c_str(), "rb");
    char chunk[65536];
    for (std::size_t n; file && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) a.base64.append(chunk, n);
    if (file) std::fclose(file);
    return a;
  }();
  return pdf;
}

std::string Head(const std::string& subject, const std::string& contentType) {
  return "From: Sender <sender@example.org>\r\nTo: someone@example.org\r\nSubject: " + subject +
         "\r\nDate: Wed, 09 Dec 2026 09:00:00 +0900\r\nMessage-ID: <" + subject +
         "@example.org>\r\nMIME-Version: 1.0\r\nContent-Type: " + contentType + "\r\n";
}

const char kHtmlUtf8[] =
    "<html><head><title>t</title><style>p{color:red}</style></head><body><p>"
    "\xe3\x81\x8a\xe7\x9f\xa5\xe3\x82\x89\xe3\x81\x9b</p></body></html>";

std::string Alternative(const std::string& subject) {
  return Head(subject, "multipart/alternative; boundary=\"alt-b\"") +
         "\r\n--alt-b\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nthe plain text\r\n"
         "--alt-b\r\nContent-Type: text/html; charset=utf-8\r\n\r\n" + std::string(kHtmlUtf8) +
         "\r\n--alt-b--\r\n";
}

std::string WithPdf(const std::string& subject) {
  return Head(subject, "multipart/mixed; boundary=\"mix-b\"") +
         "\r\n--mix-b\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nsee the report\r\n"
         "--mix-b\r\nContent-Type: application/pdf; name=\"report.pdf\"\r\n"
         "Content-Disposition: attachment; filename=\"report.pdf\"\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\n" + Pdf().base64 + "--mix-b--\r\n";
}

// Thirty lines of Japanese in ISO-2022-JP: far more than four 360-byte parts.
std::string LongJapanese(const std::string& subject) {
  const std::string line = "\x1b$BF|K\\8l$ND9$$$*CN$i$;$G$9!#\x1b(B";  // 日本語の長いお知らせです。
  std::string body;
  for (int i = 0; i < 30; ++i) body += line + line + "\r\n";
  return Head(subject, "text/plain; charset=ISO-2022-JP") + "Content-Transfer-Encoding: 7bit\r\n\r\n" + body;
}

std::string PhoneHtmlAndJpeg(const std::string& subject) {
  return Head(subject, "multipart/mixed; boundary=\"ph-b\"") +
         "\r\n--ph-b\r\nContent-Type: text/html; charset=utf-8\r\n\r\n" + std::string(kHtmlUtf8) +
         "\r\n--ph-b\r\nContent-Type: image/jpeg; name=\"photo.jpg\"\r\n"
         "Content-Disposition: attachment; filename=\"photo.jpg\"\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\n/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8U\r\n"
         "--ph-b--\r\n";
}

std::string Report(const std::string& subject) {
  return Head(subject, "multipart/report; report-type=delivery-status; boundary=\"rep-b\"") +
         "\r\n--rep-b\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nDelivery failed.\r\n"
         "--rep-b\r\nContent-Type: message/delivery-status\r\n\r\nReporting-MTA: dns; example.org\r\n\r\n"
         "Final-Recipient: rfc822; x@example.org\r\nAction: failed\r\nStatus: 5.1.1\r\n\r\n--rep-b--\r\n";
}

// The body of a mail as it arrived (after the first empty line).
std::string BodyOf(const std::string& data) {
  const std::size_t end = data.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : data.substr(end + 4);
}

struct Case {
  std::string name;
  std::string mail;
  std::function<void(AccountSettings&)> setUp;
  std::function<void(const std::vector<SinkMail>&)> check;
};

void PartProcessing(AccountSettings& a) { a.partProcessing = 1; }

std::vector<Case> Cases() {
  std::vector<Case> cases;
  cases.push_back({"alternative", Alternative("alternative"), PartProcessing,
                   [](const std::vector<SinkMail>& mails) {
                     ASSERT_EQ(mails.size(), 1u);
                     const std::vector<Leaf> leaves = Leaves(mails[0].data);
                     ASSERT_EQ(leaves.size(), 1u) << mails[0].data;
                     EXPECT_EQ(leaves[0].type, "text/plain");
                     EXPECT_EQ(leaves[0].text.rfind("the plain text", 0), 0u) << leaves[0].text;
                   }});
  cases.push_back({"alternative-html", Alternative("alternative-html"),
                   [](AccountSettings& a) {
                     a.partProcessing = a.preferHtmlPart = a.htmlToText = 1;
                   },
                   [](const std::vector<SinkMail>& mails) {
                     ASSERT_EQ(mails.size(), 1u);
                     const std::vector<Leaf> leaves = Leaves(mails[0].data);
                     ASSERT_EQ(leaves.size(), 1u) << mails[0].data;
                     EXPECT_EQ(leaves[0].type, "text/plain");
                     EXPECT_NE(leaves[0].text.find("\xe3\x81\x8a\xe7\x9f\xa5\xe3\x82\x89\xe3\x81\x9b"),
                               std::string::npos) << leaves[0].text;
                     EXPECT_EQ(leaves[0].text.find("color"), std::string::npos);
                   }});
  cases.push_back({"pdf-over", WithPdf("pdf-over"),
                   [](AccountSettings& a) {
                     a.partProcessing = 1;
                     a.oversizeKb = 1000;
                   },
                   [](const std::vector<SinkMail>& mails) {
                     ASSERT_EQ(mails.size(), 1u);
                     const std::string notice =
                         "Content-Type: text/plain; charset=\"us-ascii\"\r\n\r\n--REMOVED FILE--\r\nreport.pdf\r\n"
                         "Size = " + std::to_string(Pdf().base64.size() / 1024 + 1) + " KB\r\n";
                     EXPECT_NE(mails[0].data.find(notice), std::string::npos) << mails[0].data.substr(0, 2000);
                     for (const Leaf& leaf : Leaves(mails[0].data)) EXPECT_NE(leaf.sha256, Pdf().sha256);
                   }});
  for (const char* name : {"pdf-under", "pdf-kept"}) {
    cases.push_back({name, WithPdf(name),
                     [name](AccountSettings& a) {
                       a.partProcessing = 1;
                       a.oversizeKb = std::string(name) == "pdf-under" ? 4000 : 1000;
                       a.keepExtensionsOn = 1;
                       std::snprintf(a.keepExtensions, sizeof a.keepExtensions, "%s", ".doc .PDF");
                     },
                     [](const std::vector<SinkMail>& mails) {
                       ASSERT_EQ(mails.size(), 1u);
                       const std::vector<Leaf> leaves = Leaves(mails[0].data);
                       ASSERT_EQ(leaves.size(), 2u) << mails[0].data.substr(0, 3000);
                       EXPECT_EQ(leaves[1].type, "application/pdf");
                       EXPECT_EQ(leaves[1].sha256, Pdf().sha256);
                     }});
  }
  cases.push_back({"pdf-dropped", WithPdf("pdf-dropped"),
                   [](AccountSettings& a) {
                     a.partProcessing = a.oversizeDrop = 1;
                     a.oversizeKb = 1000;
                   },
                   [](const std::vector<SinkMail>& mails) { EXPECT_TRUE(mails.empty()); }});
  cases.push_back({"phone-long", LongJapanese("phone-long"),
                   [](AccountSettings& a) {
                     a.phoneMode = a.phoneSplit = a.phoneEndMarks = a.phoneNumberSubjects = 1;
                     a.phoneConvertBody = 0;  // Japanese leaves as ISO-2022-JP
                     a.phoneSplitBytes = 360;
                     a.phoneSplitMaxMails = 4;
                     a.phoneSplitAnywhere = 0;
                   },
                   [](const std::vector<SinkMail>& mails) {
                     ASSERT_EQ(mails.size(), 4u);
                     const std::string sentence = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e";  // 日本語
                     for (std::size_t i = 0; i < mails.size(); ++i) {
                       const std::vector<Leaf> leaves = Leaves(mails[i].data);
                       ASSERT_EQ(leaves.size(), 1u);
                       EXPECT_EQ(leaves[0].charset, "iso-2022-jp");
                       EXPECT_NE(leaves[0].text.find(sentence), std::string::npos);
                       EXPECT_LE(BodyOf(mails[i].data).size(), 360u + 16u) << i;
                     }
                     EXPECT_NE(BodyOf(mails[3].data).find("<C.>\r\n"), std::string::npos);
                   }});
  cases.push_back({"phone-html-jpeg", PhoneHtmlAndJpeg("phone-html-jpeg"),
                   [](AccountSettings& a) {
                     a.phoneMode = 1;
                     a.phoneConvertBody = 0;
                   },
                   [](const std::vector<SinkMail>& mails) {
                     ASSERT_EQ(mails.size(), 1u);
                     const std::vector<Leaf> leaves = Leaves(mails[0].data);
                     ASSERT_EQ(leaves.size(), 1u) << mails[0].data;
                     EXPECT_EQ(leaves[0].charset, "iso-2022-jp");
                     EXPECT_NE(leaves[0].text.find("\xe3\x81\x8a\xe7\x9f\xa5\xe3\x82\x89\xe3\x81\x9b"),
                               std::string::npos);
                     EXPECT_NE(leaves[0].text.find("--REMOVED--\\nphoto.jpg"), std::string::npos)
                         << leaves[0].text;
                   }});
  for (const char* name : {"as-received", "report"}) {
    const std::string mail = std::string(name) == "report" ? Report(name) : WithPdf(name);
    cases.push_back({name, mail,
                     [name](AccountSettings& a) {
                       a.partProcessing = std::string(name) == "report";
                       a.forwardSmtpErrorMails = 1;
                       a.htmlToText = 1;
                     },
                     [mail](const std::vector<SinkMail>& mails) {
                       ASSERT_EQ(mails.size(), 1u);
                       EXPECT_EQ(BodyOf(mails[0].data), BodyOf(mail) + "\r\n");
                       Leaves(mails[0].data);
                     }});
  }
  return cases;
}

TEST(ContentEndToEnd, EachAccountsSwitchesShapeWhatArrives) {
  const std::vector<Case> cases = Cases();
  std::vector<testing::DovecotUser> users;
  std::vector<testing::SmtpPeerRoute> routes;
  for (const Case& c : cases) {
    users.push_back({"u-" + c.name, "pw-" + c.name});
    routes.push_back({c.name, "", "", "", false});
  }
  DovecotServer dovecot(users);
  std::unique_ptr<testing::SmtpPeer> peer =
      testing::MakeSmtpPeer(testing::SmtpPeerKind::kAiosmtpd, routes, dovecot.saslSocket());
  ASSERT_TRUE(dovecot.ready()) << dovecot.error();
  ASSERT_TRUE(peer->ready()) << peer->error();

  ForwardingRig rig;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    ASSERT_TRUE(dovecot.AddMessage("u-" + c.name, "100000000" + std::to_string(i) + ".M1.t", c.mail));
    AccountSettings& account = rig.Account(int(i), c.name, dovecot.pop3Port(), "u-" + c.name,
                                           "pw-" + c.name, peer->port(i));
    c.setUp(account);
  }
  ASSERT_TRUE(rig.Start());
  rig.StartPass();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    cases[i].check(peer->Mails(i));
  }
  EXPECT_GE(rig.Rows(15), 1) << "the dropped oversize mail is shown with its code";
}

}  // namespace
}  // namespace velnora
