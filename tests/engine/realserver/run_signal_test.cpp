// velnora-cli run as a service: it forwards, keeps a second process off its
// settings folder, and stops like "Disconnect" on SIGTERM.
#include <gtest/gtest.h>

#include "forwarding_rig.h"
#include "platform/child_process.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "support/dovecot_server.h"
#include "support/smtp_server.h"
#include "support/test_paths.h"

namespace velnora {
namespace {

using testing::DovecotServer;
using testing::ForwardingRig;
using testing::SmtpSink;
using testing::TempFolder;

bool WaitFor(const std::function<bool()>& condition, int64_t timeoutMs) {
  const int64_t end = platform::TickMs() + timeoutMs;
  while (!condition()) {
    if (platform::TickMs() > end) return false;
    platform::SleepMs(20);
  }
  return true;
}

TEST(RunUntilSignal, ForwardsRefusesASecondProcessAndStopsOnSigterm) {
  DovecotServer dovecot(std::vector<testing::DovecotUser>{{"svc", "svc-pw"}});
  TempFolder sinkFolder, configHome;
  SmtpSink sink(sinkFolder.path());
  ASSERT_TRUE(dovecot.ready()) << dovecot.error();
  ASSERT_TRUE(sink.ready());
  ASSERT_TRUE(dovecot.AddMessage("svc", "1000000001.M1.t", "Subject: one\r\nMessage-ID: <one@x>\r\n\r\nbody\r\n"));
  ASSERT_TRUE(dovecot.AddMessage("svc", "1000000002.M2.t", "Subject: two\r\nMessage-ID: <two@x>\r\n\r\nbody\r\n"));
  ForwardingRig rig;
  rig.Account(0, "svc", dovecot.pop3Port(), "svc", "svc-pw", sink.plainPort());
  ASSERT_TRUE(rig.WriteSettings());
  testing::ScopedEnv config("XDG_CONFIG_HOME", configHome.path());

  platform::ChildProcess service;
  ASSERT_TRUE(service.Start({testing::CliPath(), "--dir", rig.folder(), "run"}, configHome.File("service.out")));
  ASSERT_TRUE(WaitFor([&] { return sink.Mails().size() == 2; }, 30000));

  platform::ChildProcess second;
  ASSERT_TRUE(second.Start({testing::CliPath(), "--dir", rig.folder(), "run", "--once"}, configHome.File("second.out")));
  ASSERT_TRUE(WaitFor([&] { return !second.Running(); }, 30000));
  EXPECT_NE(testing::FileText(configHome.File("second.out")).find("another Velnora process"), std::string::npos);
  EXPECT_TRUE(service.Running());

  const int64_t start = platform::TickMs();
  service.Stop(20000);  // SIGTERM
  EXPECT_LT(platform::TickMs() - start, 10000);
  const std::string output = testing::FileText(configHome.File("service.out"));
  EXPECT_NE(output.find("接続中止が要求されました。接続を切断しています..."), std::string::npos) << output;
  EXPECT_NE(output.find("接続を切断しました。再接続するためには、「接続」ボタンを押して下さい。"), std::string::npos);
  EXPECT_GT(platform::FileSize(rig.folder() + "/velnora4uidl_zo400.mbx"), 0);
  EXPECT_EQ(sink.Mails().size(), 2u);
}

}  // namespace
}  // namespace velnora
