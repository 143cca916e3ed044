// velnora-cli run killed with SIGKILL in the middle of a pass and started
// again: every message arrives at least once, and what was already
// forwarded is stopped by duplicate prevention (code 5).
#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <set>

#include "forwarding_rig.h"
#include "platform/child_process.h"
#include "platform/clock.h"
#include "support/dovecot_server.h"
#include "support/smtp_server.h"
#include "support/test_paths.h"

namespace velnora {
namespace {

using testing::CountOf;
using testing::DovecotServer;
using testing::ForwardingRig;
using testing::SmtpSink;
using testing::TempFolder;

constexpr int kMessages = 300;

std::string Message(int n) {
  return "From: sender@example.org\r\nTo: someone@example.org\r\nSubject: crash " + std::to_string(n) +
         "\r\nMessage-ID: <crash-" + std::to_string(n) + "@example.org>\r\n\r\nbody " + std::to_string(n) + "\r\n";
}

// The subject numbers of what arrived.
std::multiset<int> Arrived(const SmtpSink& sink) {
  std::multiset<int> numbers;
  for (const auto& mail : sink.Mails()) {
    const std::size_t at = mail.data.find("Subject: crash ");
    if (at != std::string::npos) numbers.insert(std::stoi(mail.data.substr(at + 15)));
  }
  return numbers;
}

// Dovecot holding kMessages numbered messages for `user`, a sink, and the
// settings of one account between them, written for velnora-cli, whose
// configuration folder is configHome.
struct Mailbox {
  explicit Mailbox(const std::string& name)
      : user(name), dovecot(std::vector<testing::DovecotUser>{{user, user + "-pw"}}), sink(sinkFolder.path()) {}

  void Prepare() {
    ASSERT_TRUE(dovecot.ready()) << dovecot.error();
    ASSERT_TRUE(sink.ready());
    for (int n = 1; n <= kMessages; ++n) {
      char name[64];
      std::snprintf(name, sizeof name, "%d.M%d.t", 1000000000 + n, n);
      ASSERT_TRUE(dovecot.AddMessage(user, name, Message(n)));
    }
    rig.Account(0, user, dovecot.pop3Port(), user, user + "-pw", sink.plainPort());
    ASSERT_TRUE(rig.WriteSettings());
    config.emplace("XDG_CONFIG_HOME", configHome.path());
  }

  std::string user;
  DovecotServer dovecot;
  TempFolder sinkFolder, configHome;
  SmtpSink sink;
  ForwardingRig rig;
  std::optional<testing::ScopedEnv> config;  // velnora-cli's configuration folder
};

TEST(KillAndRestart, EveryMessageArrivesAndDuplicatesAreStopped) {
  Mailbox box("crash");
  ASSERT_NO_FATAL_FAILURE(box.Prepare());
  SmtpSink& sink = box.sink;
  ForwardingRig& rig = box.rig;
  const TempFolder& configHome = box.configHome;
  const std::vector<std::string> run = {testing::CliPath(), "--dir", rig.folder(), "run", "--once"};

  platform::ChildProcess first;
  ASSERT_TRUE(first.Start(run, configHome.File("first.out")));
  const int64_t deadline = platform::TickMs() + 60000;
  while (first.Running() && sink.Mails().size() < 20 && platform::TickMs() < deadline) platform::SleepMs(5);
  ASSERT_TRUE(first.Running()) << "the pass ended before it could be killed";
  ::kill(pid_t(first.pid()), SIGKILL);
  while (first.Running()) platform::SleepMs(10);
  const std::size_t beforeRestart = Arrived(sink).size();
  ASSERT_LT(beforeRestart, std::size_t(kMessages));

  platform::ChildProcess second;
  ASSERT_TRUE(second.Start(run, configHome.File("second.out")));
  const int64_t end = platform::TickMs() + 120000;
  while (second.Running() && platform::TickMs() < end) platform::SleepMs(20);
  ASSERT_FALSE(second.Running()) << "the second run did not finish";

  const std::multiset<int> arrived = Arrived(sink);
  for (int n = 1; n <= kMessages; ++n) EXPECT_GE(arrived.count(n), 1u) << "message " << n;
  // At most the message in flight at the kill goes twice.
  EXPECT_LE(arrived.size(), std::size_t(kMessages) + 1);
  const std::string history = rig.ForwardingLog();
  EXPECT_GE(CountOf(history, "V1;5;"), int(beforeRestart) - 1);
  // Every arrival has its forwarding-log line, except perhaps the one in flight.
  EXPECT_GE(CountOf(history, "V1;0;"), int(arrived.size()) - 1);
  EXPECT_LE(CountOf(history, "V1;0;"), int(arrived.size()));
  const std::string output = testing::FileText(configHome.File("second.out"));
  EXPECT_NE(output.find("二重転送制限で未転送"), std::string::npos) << output.substr(0, 2000);
}

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// SIGTERM is "Disconnect": the running pass winds down, what it handled is
// stored, and the next run forwards exactly the rest.
TEST(StopAndRestart, SigtermWindsThePassDownAndTheNextRunForwardsTheRest) {
  Mailbox box("stop");
  ASSERT_NO_FATAL_FAILURE(box.Prepare());
  SmtpSink& sink = box.sink;
  ForwardingRig& rig = box.rig;
  const TempFolder& configHome = box.configHome;

  platform::ChildProcess first;
  ASSERT_TRUE(first.Start({testing::CliPath(), "--dir", rig.folder(), "run"}, configHome.File("first.out")));
  const int64_t deadline = platform::TickMs() + 60000;
  while (first.Running() && sink.Mails().size() < 20 && platform::TickMs() < deadline) platform::SleepMs(5);
  ASSERT_TRUE(first.Running());
  ::kill(pid_t(first.pid()), SIGTERM);
  const int64_t stopAt = platform::TickMs();
  while (first.Running() && platform::TickMs() - stopAt < 10000) platform::SleepMs(10);
  ASSERT_FALSE(first.Running()) << "the pass did not wind down";
  const std::size_t beforeRestart = sink.Mails().size();
  ASSERT_LT(beforeRestart, std::size_t(kMessages));

  platform::ChildProcess second;
  ASSERT_TRUE(second.Start({testing::CliPath(), "--dir", rig.folder(), "run", "--once"}, configHome.File("second.out")));
  const int64_t end = platform::TickMs() + 120000;
  while (second.Running() && platform::TickMs() < end) platform::SleepMs(20);
  ASSERT_FALSE(second.Running());

  const std::multiset<int> arrived = Arrived(sink);
  for (int n = 1; n <= kMessages; ++n) EXPECT_EQ(arrived.count(n), 1u) << "message " << n;
  EXPECT_EQ(CountOf(rig.ForwardingLog(), "V1;5;"), 0);
  EXPECT_NE(testing::FileText(configHome.File("first.out")).find("接続を切断しました。"), std::string::npos);
}

}  // namespace
}  // namespace velnora
