// The desktop program forwards as velnora-cli does: the same mailbox behind
// two Dovecot servers, the window's 接続 against one, `run --once` against
// the other, and each sink receives the same mail.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>
#include <sstream>

#include "../../cli/cli_runner.h"
#include "../../engine/realserver/forwarding_rig.h"
#include "support/dovecot_server.h"
#include "support/smtp_server.h"
#include "ui/desktop.h"

namespace velnora::ui {
namespace {

using testing::DovecotServer;
using testing::ForwardingRig;
using testing::SmtpSink;
using testing::TempFolder;

// A mailbox, a sink and a settings folder whose one account joins them.
struct Side {
  DovecotServer dovecot{std::vector<testing::DovecotUser>{{"alice", "wonderland"}}};
  TempFolder sinkFolder;
  SmtpSink sink{sinkFolder.path()};
  ForwardingRig rig;

  bool Ready(const std::vector<std::string>& mails) {
    if (!dovecot.ready() || !sink.ready()) return false;
    for (std::size_t i = 0; i < mails.size(); ++i) {
      if (!dovecot.AddMessage("alice", std::to_string(1700000000 + i) + ".M" + std::to_string(i) + ".t", mails[i]))
        return false;
    }
    rig.Account(0, "alice", dovecot.pop3Port(), "alice", "wonderland", sink.plainPort());
    return rig.WriteSettings();
  }
};

// What a sink received, the header lines that name the moment of sending
// reduced to their names.
std::vector<std::string> Received(const SmtpSink& sink) {
  std::vector<std::string> mails;
  for (const auto& mail : sink.Mails()) {
    std::string text = mail.mailFrom + "\n";
    for (const auto& to : mail.rcptTo) text += to + "\n";
    std::istringstream lines(mail.data);
    for (std::string line; std::getline(lines, line);) {
      for (const char* name : {"Date:", "Resent-Date:", "Resent-Message-ID:", "Received:", "X-Peer:"}) {
        if (line.starts_with(name)) line = name;
      }
      text += line + "\n";
    }
    mails.push_back(text);
  }
  return mails;
}

bool RunUntil(const std::function<bool()>& done, int limitMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  return done();
}

TEST(GuiForwarding, ConnectDeliversWhatRunOnceDeliversAndTheNextTickNothing) {
  const std::vector<std::string> mails = {
      "From: a@example.org\r\nTo: alice@velnora.test\r\nSubject: plain\r\nMessage-ID: <1@example.org>\r\n\r\nbody\r\n",
      "From: =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?= <b@example.org>\r\nSubject: =?UTF-8?B?5pel5pys6Kqe?=\r\n"
      "Message-ID: <2@example.org>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
      "Content-Transfer-Encoding: 8bit\r\n\r\n\xe6\x97\xa5\xe6\x9c\xac\r\n.dot line\r\n",
      "From: c@example.org\r\nSubject: multipart\r\nMessage-ID: <3@example.org>\r\nMIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\ntext\r\n"
      "--b\r\nContent-Type: application/octet-stream; name=a.bin\r\nContent-Transfer-Encoding: base64\r\n\r\n"
      "AAECAw==\r\n--b--\r\n",
  };
  Side gui, cli;
  ASSERT_TRUE(gui.Ready(mails)) << gui.dovecot.error();
  ASSERT_TRUE(cli.Ready(mails)) << cli.dovecot.error();

  TempFolder cliHome;
  const auto run = testing::RunCli(cliHome.path(), {"--dir", cli.rig.folder(), "run", "--once"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

  Desktop desktop(SettingsLocation::ForFolder(gui.rig.folder()), nullptr, nullptr, UpdateSource{});
  ASSERT_EQ(desktop.Open(), Desktop::Start::Running);
  auto* reporter = dynamic_cast<QtReporter*>(&desktop.context()->reporter);
  ASSERT_NE(reporter, nullptr);
  int passesEnded = 0;
  QObject::connect(reporter, &QtReporter::passActiveChanged, [&](bool active) { passesEnded += active ? 0 : 1; });

  desktop.window()->action(Command::Connect)->trigger();
  ASSERT_TRUE(RunUntil([&] { return passesEnded == 1; }, 120000));
  const std::vector<std::string> expected = Received(cli.sink);
  ASSERT_EQ(expected.size(), mails.size());
  EXPECT_EQ(Received(gui.sink), expected);

  // The next tick finds the mail handled: only one that arrived since goes out.
  ASSERT_TRUE(gui.dovecot.AddMessage("alice", "1800000000.M9.t", "Subject: later\r\n\r\nlater\r\n"));
  desktop.pollTimer().setSingleShot(true);
  desktop.pollTimer().start(50);
  ASSERT_TRUE(RunUntil([&] { return passesEnded == 2; }, 60000));
  const auto after = gui.sink.Mails();
  ASSERT_EQ(after.size(), mails.size() + 1);
  EXPECT_NE(after.back().data.find("\r\nSubject: later\r\n"), std::string::npos) << after.back().data;

  std::vector<int> exitCodes;
  QObject::connect(&desktop, &Desktop::finished, [&](int code) { exitCodes.push_back(code); });
  desktop.Quit(Desktop::QuitSource::Signal);
  RunUntil([&] { return !exitCodes.empty(); }, 20000);
  EXPECT_EQ(exitCodes, std::vector<int>{0});
}

}  // namespace
}  // namespace velnora::ui
