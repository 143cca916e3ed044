// An HTML-only mail through Dovecot, the program and aiosmtpd, for an
// account that converts HTML to text: what arrives is read back with
// Python's email package, decoded strictly under its declared charset.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

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
using testing::SmtpPeer;
using testing::SmtpPeerKind;

// Quoted-printable UTF-8 HTML with style, script, a link, an in-page link,
// references and soft line breaks inside a word and a tag.
const std::string kHtmlMail =
    "From: News <news@example.org>\r\n"
    "To: someone@example.org\r\n"
    "Subject: Velnora news\r\n"
    "Date: Tue, 08 Dec 2026 09:00:00 +0900\r\n"
    "Message-ID: <html-1@example.org>\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: text/html; charset=\"utf-8\"\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "<!DOCTYPE html>\r\n<html><head><meta charset=3D\"utf-8\">\r\n"
    "<style>body { font-family: sans-serif; }</style>\r\n"
    "<script type=3D\"text/javascript\">document.write(\"<p>tracking</p>\");</script=\r\n>\r\n"
    "</head><body>\r\n<h1>Velnora news</h1>\r\n"
    "<p>Read the <a href=3D\"https://example.org/news?id=3D7\">full story</a> toda=\r\ny.</p>\r\n"
    "<p>Caf=C3=A9 cr=C3=A8me =E2=80=93 5&nbsp;=E2=82=AC for everyone in T=C5=8Dk=\r\n"
    "y=C5=8D and =E6=9D=B1=E4=BA=AC</p>\r\n<a href=3D\"#top\">back to top</a>\r\n</body></html>\r\n";

// The text as a reader sees it (UTF-8). A closing p ends no line, so the
// last link text follows the paragraph after the space its line break
// became.
const std::string kExpectedText =
    "Velnora news\r\n"
    "\r\n"
    "Read the\r\n"
    "[ https://example.org/news?id=7 ]\r\n"
    "full story today.\r\n"
    "Caf\xc3\xa9 cr\xc3\xa8me \xe2\x80\x93 5 \xe2\x82\xac for everyone in T\xc5\x8dky\xc5\x8d and "
    "\xe6\x9d\xb1\xe4\xba\xac back to top\r\n";

struct Decoded {
  bool ok = false;
  std::string text;  // UTF-8, or the reason it failed
};

// Python's email package on the mail as it arrived.
Decoded ReadWithPython(const std::string& data) {
  testing::TempFolder folder;
  const std::string path = folder.File("mail.eml");
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return {};
    std::fwrite(data.data(), 1, data.size(), file);
    std::fclose(file);
  }
  const std::string command = "/usr/bin/python3 " + testing::SourceDir() +
                              "/tests/support/mime_text_check.py " + path + " 2>&1";
  Decoded result;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) result.text.append(chunk, n);
  const int status = ::pclose(pipe);
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return result;
}

TEST(HtmlTextEndToEnd, HtmlOnlyMailArrivesAsReadableTextWithItsLinks) {
  DovecotServer dovecot(std::vector<testing::DovecotUser>{{"u-html", "pw-html-3381"}});
  std::unique_ptr<SmtpPeer> peer =
      testing::MakeSmtpPeer(SmtpPeerKind::kAiosmtpd, {{"html", "", "", "", false}}, dovecot.saslSocket());
  if (!peer->skipReason().empty()) GTEST_SKIP() << peer->skipReason();
  ASSERT_TRUE(dovecot.ready()) << dovecot.error();
  ASSERT_TRUE(peer->ready()) << peer->error();
  ASSERT_TRUE(dovecot.AddMessage("u-html", "1000000001.M1.t", kHtmlMail));

  ForwardingRig rig;
  AccountSettings& account = rig.Account(0, "html", dovecot.pop3Port(), "u-html", "pw-html-3381", peer->port(0));
  account.partProcessing = 1;
  account.htmlToText = 1;
  account.extractLinks = 1;
  account.htmlUseUtf8 = 1;
  account.htmlBase64 = 1;
  ASSERT_TRUE(rig.Start());
  rig.StartPass();

  const std::vector<SinkMail> mails = peer->Mails(0);
  ASSERT_EQ(mails.size(), 1u) << rig.SessionLog() << peer->Log();
  const std::string& data = mails[0].data;
  EXPECT_NE(data.find("\r\nContent-Type: text/plain; charset=\"utf-8\"\r\n"), std::string::npos) << data;
  EXPECT_NE(data.find("\r\nContent-Transfer-Encoding: base64\r\n"), std::string::npos) << data;

  const Decoded decoded = ReadWithPython(data);
  ASSERT_TRUE(decoded.ok) << decoded.text << "\n" << data;
  // Python ends the text where the body ends: the empty line composition
  // adds after the Base64 lines is no text.
  EXPECT_EQ(decoded.text, kExpectedText);
  for (const char* markup : {"font-family", "document.write", "tracking", "<", "#top", "&nbsp;"}) {
    EXPECT_EQ(decoded.text.find(markup), std::string::npos) << markup;
  }
}

}  // namespace
}  // namespace velnora
