// Accounts checked side by side (parallelAccounts) against Dovecot and the
// aiosmtpd sink: every message arrives once, and what the checks share (the
// forwarding log, duplicate prevention, the UIDL store, the session log)
// stays whole.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "forwarding_rig.h"
#include "support/dovecot_server.h"
#include "support/smtp_server.h"

namespace velnora {
namespace {

using testing::CountOf;
using testing::DovecotServer;
using testing::DovecotUser;
using testing::ForwardingRig;
using testing::SmtpSink;

std::string Message(const std::string& id, const std::string& subject) {
  return "From: Sender <sender@example.org>\r\n"
         "To: someone@example.org\r\n"
         "Subject: " + subject + "\r\n"
         "Date: Tue, 08 Dec 2026 09:00:00 +0900\r\n"
         "Message-ID: <" + id + "@example.org>\r\n"
         "\r\nbody of " + id + "\r\n";
}

std::string User(int i) { return "user" + std::to_string(i); }

std::vector<DovecotUser> Users(int count) {
  std::vector<DovecotUser> users;
  for (int i = 0; i < count; ++i) users.push_back({User(i), "pw-" + User(i)});
  return users;
}

class ParallelPass : public ::testing::Test {
 protected:
  ParallelPass() : dovecot(Users(2)), sink(sinkDir.path()) {}

  void SetUp() override {
    ASSERT_TRUE(dovecot.ready()) << dovecot.error();
    ASSERT_TRUE(sink.ready());
  }
  void Configure(int accounts, int lanes) {
    rig.settings().common.parallelAccounts = int16_t(lanes);
    for (int i = 0; i < accounts; ++i) {
      rig.Account(i, "acc" + std::to_string(i), dovecot.pop3Port(), User(i), "pw-" + User(i), sink.plainPort());
    }
  }

  testing::TempFolder sinkDir;
  DovecotServer dovecot;
  SmtpSink sink;
  ForwardingRig rig;
};

// Two accounts receive the same message at the same moment: the filter of
// each waits (bounded) for the other to reach it, so without one lock over
// the look into the log and the record, both would forward it.
TEST_F(ParallelPass, SameMessageOnTwoAccountsAtOnceIsForwardedOnce) {
  Configure(2, 2);
  rig.settings().common.duplicateCheckAllAccounts = 1;
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(dovecot.AddMessage(User(i), "1000000001.M1.t", Message("same", "Same")));

  std::mutex mutex;
  std::condition_variable arrived;
  int atFilter = 0;
  MessageSteps steps = ProgramMessageSteps();
  steps.filter = [&, inner = steps.filter](Context& ctx, MailMessage& message, int account) {
    {
      std::unique_lock lock(mutex);
      ++atFilter;
      arrived.notify_all();
      arrived.wait_for(lock, std::chrono::seconds(3), [&] { return atFilter >= 2; });
    }
    return inner(ctx, message, account);
  };
  ASSERT_TRUE(rig.Start(std::move(steps)));
  rig.StartPass();

  EXPECT_EQ(sink.Mails().size(), 1u) << rig.ForwardingLog();
  EXPECT_EQ(rig.Rows(5), 1) << "the second account's copy is a duplicate";
  EXPECT_EQ(CountOf(rig.ForwardingLog(), "same@example.org"), 2);
}

// Several accounts at once, with a table of lane counts: every message
// once, every log line whole and naming its account, every list saved.
TEST(ParallelPassRecords, AccountsCheckedAtOnceKeepTheSharedRecordsWhole) {
  constexpr int kAccounts = 6;
  for (const int lanes : {3, 32}) {
    SCOPED_TRACE(lanes);
    ForwardingRig fresh;
    testing::TempFolder freshSink;
    SmtpSink out(freshSink.path());
    DovecotServer in(Users(kAccounts));
    ASSERT_TRUE(in.ready() && out.ready());
    fresh.settings().common.parallelAccounts = int16_t(lanes);
    for (int i = 0; i < kAccounts; ++i) {
      fresh.Account(i, "acc" + std::to_string(i), in.pop3Port(), User(i), "pw-" + User(i), out.plainPort());
      for (int m = 0; m < 3; ++m) {
        const std::string id = User(i) + "-" + std::to_string(m);
        ASSERT_TRUE(in.AddMessage(User(i), "100000000" + std::to_string(m) + ".M" + std::to_string(m) + ".t",
                                  Message(id, "S " + id)));
      }
    }
    ASSERT_TRUE(fresh.Start());
    fresh.StartPass();
    fresh.PollPass();  // the stored lists hold: nothing goes twice

    const auto mails = out.Mails();
    ASSERT_EQ(mails.size(), std::size_t(kAccounts * 3)) << fresh.SessionLog();
    const std::string log = fresh.ForwardingLog();
    for (int i = 0; i < kAccounts; ++i) {
      for (int m = 0; m < 3; ++m) {
        const std::string id = "<" + User(i) + "-" + std::to_string(m) + "@example.org>";
        EXPECT_EQ(CountOf(log, id), 1) << id;
        int arrived = 0;
        for (const auto& mail : mails) arrived += CountOf(mail.data, "Message-ID: " + id);
        EXPECT_EQ(arrived, 1) << id;
      }
    }
    // Each forwarding-log line is one record of its own account.
    std::istringstream lines(log);
    int records = 0;
    for (std::string line; std::getline(lines, line);) {
      EXPECT_EQ(line.rfind("V1;", 0), 0u) << line;
      const std::size_t user = line.find("<user");
      if (user == std::string::npos) continue;
      ++records;
      EXPECT_EQ(CountOf(line, "<user"), 1) << line;
      EXPECT_NE(line.find("acc" + line.substr(user + 5, 1), user), std::string::npos) << line;
    }
    EXPECT_EQ(records, kAccounts * 3);
    // The session log names the account on each of its log-in lines.
    const std::string session = fresh.SessionLog();
    for (int i = 0; i < kAccounts; ++i) {
      EXPECT_GE(CountOf(session, "[" + std::to_string(i) + "] "), 1);
      std::istringstream text(session);
      for (std::string line; std::getline(text, line);) {
        if (line.find("USER " + User(i)) == std::string::npos) continue;
        EXPECT_EQ(line.rfind("[" + std::to_string(i) + "] ", 0), 0u) << line;
      }
    }
    // The UIDL store on the disk holds every account's three messages.
    testing::RecordingReporter reporter;
    Context reread(reporter, SettingsLocation(fresh.folder(), ""));
    ASSERT_TRUE(reread.StartUp());
    for (int i = 0; i < kAccounts; ++i) {
      int stored = 0;
      for (int p = 0; p < 3; ++p) stored += reread.runtimeOf(i).StoredUidl(p).empty() ? 0 : 1;
      EXPECT_EQ(stored, 3) << "account " << i;
    }
  }
}

}  // namespace
}  // namespace velnora
