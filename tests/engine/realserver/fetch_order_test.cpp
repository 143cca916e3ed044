// velnora-cli run --once against Dovecot and aiosmtpd: the newest mails
// first with a fetch limit delivers every mail over the runs it takes, and
// a run whose state cannot be written says so and fails.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "forwarding_rig.h"
#include "support/dovecot_server.h"
#include "support/smtp_server.h"

namespace velnora {
namespace {

using testing::DovecotServer;
using testing::ForwardingRig;
using testing::SmtpSink;
using testing::TempFolder;

std::string Message(int n) {
  return "From: sender@example.org\r\nSubject: order " + std::to_string(n) + "\r\nMessage-ID: <order-" +
         std::to_string(n) + "@example.org>\r\n\r\nbody " + std::to_string(n) + "\r\n";
}

// Exit status of one `run --once`, its output appended to `output`.
int RunOnce(const std::string& folder, const std::string& output) {
  const std::string command =
      std::string("'") + VELNORA_CLI_PATH + "' --dir '" + folder + "' run --once >> '" + output + "' 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Rig {
  DovecotServer dovecot{std::vector<testing::DovecotUser>{{"order", "order-pw"}}};
  TempFolder sinkFolder, configHome;
  SmtpSink sink{sinkFolder.path()};
  ForwardingRig rig;
};

// Each row: five mails, two fetched per `run --once`, four runs.
struct LimitCase {
  const char* name;
  bool reverse;  // newest first
  bool noUidl;   // positions only: a new process goes on where the last ended
};

class FetchOrderLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(FetchOrderLimit, EveryMailArrivesOnceOverTheRuns) {
  const LimitCase& c = GetParam();
  Rig r;
  ASSERT_TRUE(r.dovecot.ready()) << r.dovecot.error();
  ASSERT_TRUE(r.sink.ready());
  for (int n = 1; n <= 5; ++n) {
    ASSERT_TRUE(r.dovecot.AddMessage("order", std::to_string(1000000000 + n) + ".M" + std::to_string(n) + ".t", Message(n)));
  }
  AccountSettings& account = r.rig.Account(0, "order", r.dovecot.pop3Port(), "order", "order-pw", r.sink.plainPort());
  account.reversePopOrder = c.reverse ? 1 : 0;
  account.noUidl = c.noUidl ? 1 : 0;
  r.rig.settings().common.limitFetch = 1;
  r.rig.settings().common.fetchLimit = 2;
  ASSERT_TRUE(r.rig.WriteSettings());
  testing::ScopedEnv config("XDG_CONFIG_HOME", r.configHome.path());
  const std::string output = r.configHome.File("run.out");
  for (int run = 0; run < 4; ++run) EXPECT_EQ(RunOnce(r.rig.folder(), output), 0);

  std::multiset<std::string> subjects;
  for (const auto& mail : r.sink.Mails()) {
    const std::size_t at = mail.data.find("Subject: order ");
    if (at != std::string::npos) subjects.insert(mail.data.substr(at + 15, 1));
  }
  EXPECT_EQ(subjects, (std::multiset<std::string>{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(testing::FileText(output).find("テンポラリファイルがありません"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Orders, FetchOrderLimit,
                         ::testing::Values(LimitCase{"NewestFirst", true, false},
                                           LimitCase{"WithoutUidls", false, true}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FetchOrder, AUidlStoreThatCannotBeWrittenFailsTheRun) {
  Rig r;
  ASSERT_TRUE(r.dovecot.ready()) << r.dovecot.error();
  ASSERT_TRUE(r.sink.ready());
  ASSERT_TRUE(r.dovecot.AddMessage("order", "1000000001.M1.t", Message(1)));
  r.rig.Account(0, "order", r.dovecot.pop3Port(), "order", "order-pw", r.sink.plainPort());
  ASSERT_TRUE(r.rig.WriteSettings());
  std::filesystem::create_directory(r.rig.folder() + "/velnora4uidl_zo400.mbx");
  testing::ScopedEnv config("XDG_CONFIG_HOME", r.configHome.path());
  const std::string output = r.configHome.File("run.out");
  EXPECT_NE(RunOnce(r.rig.folder(), output), 0);
  EXPECT_NE(testing::FileText(output).find("UIDLの保存ファイルに書き込めませんでした。"), std::string::npos)
      << testing::FileText(output);
}

}  // namespace
}  // namespace velnora
