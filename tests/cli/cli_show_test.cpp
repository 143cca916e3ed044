// velnora-cli show against a settings file written byte by byte here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"
#include "support/settings_bytes.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using namespace velnora::testing;

class CliShow : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<uint8_t> b = BareSettings();
    PutInt16(b, 16, 101);            // logColumnWidths[0]
    PutInt16(b, 26, 106);            // logColumnWidths[5]
    PutInt16(b, 28, 700);            // windowWidth
    PutInt16(b, 32, 10);             // windowLeft
    PutInt16(b, 34, 20);             // windowTop
    PutInt16(b, 40, 1);              // sessionLog
    PutText(b, 50, "pw");            // startupPassword
    PutInt32(b, 64, 123456);         // historyLimit
    PutInt32(b, 80, 45);             // timeoutSec
    PutInt16(b, 120, 2000);          // maxHeldMails
    PutInt16(b, 122, 3000);          // maxHeldMailsNext
    PutText(b, 388, "kq480317");     // developerOptions

    const std::size_t a = AccountAt(5);
    PutText(b, a + 5123, "\x83\x65\x83\x58\x83\x67");  // accountName テスト in code page 932
    PutText(b, a + 4738, "pop.example.jp");            // popServer
    PutInt16(b, a + 7979, 995);                        // popPort
    PutInt16(b, a + 7981, 60000);                      // smtpPort above 32767
    b[a + 5122] = 1;                                   // enabled (8-bit)
    PutInt32(b, a + 36741, 0x800000);                  // scheduleStops Monday: hour 0
    PutInt32(b, a + 36741 + 24, 1);                    // Sunday: hour 23
    PutText(b, a + 642, "a@x b@y");                    // forwardTo
    PutInt16(b, a + 37663, 1);                         // tlsNoVerify
    PutInt16(b, a + 37667, 1);                         // popStartTls
    PutInt32(b, a + 6417, 1);                          // phoneCutOriginalMessage (32-bit)
    PutInt16(b, a + 36711, 2);                         // filterMode
    PutInt32(b, a + 7997, 1024);                       // oversizeKb
    PutInt16(b, a + 37171, 1);                         // remoteSuspended
    PutText(b, ExtraAt(5), "x@y");                     // replaceFromList
    PutInt16(b, ExtraAt(5) + 1026, 1);                 // appendSenderToSubject
    PutText(b, AccountAt(6) + 5123, "tab\there");
    WriteBytes(current.File("velnora4_zo400.prf"), Scrambled(b));
  }
  TempFolder current, config;
};

TEST_F(CliShow, CommonFieldsShowTheBytesOfTheFile) {
  const CliRun run = RunCli(config.path(), {"--dir", current.path(), "show", "common"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const struct {
    const char* name;
    const char* value;
  } expected[] = {
      {"magic", "VEL_NORA4_SP4"},
      {"logColumnWidths", "101,100,100,100,100,106"},  // zero widths repaired at load
      {"windowWidth", "700"},
      {"windowLeft", "10"},
      {"windowTop", "20"},
      {"sessionLog", "1"},
      {"startupPassword", "pw"},
      {"historyLimit", "123456"},
      {"timeoutSec", "45"},
      {"maxHeldMails", "2000"},
      {"maxHeldMailsNext", "3000"},
      {"developerOptions", "kq480317"},
      {"autoConnect", "0"},
      {"remotePassword", ""},
  };
  for (const auto& e : expected) EXPECT_EQ(ShownValue(run.out, e.name), e.value) << e.name;
}

TEST_F(CliShow, AccountAndExtraFieldsShowTheBytesOfTheFile) {
  const CliRun run = RunCli(config.path(), {"--dir", current.path(), "show", "account", "5"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const struct {
    const char* name;
    const char* value;
  } expected[] = {
      {"accountName", "テスト"},
      {"popServer", "pop.example.jp"},
      {"popPort", "995"},
      {"smtpPort", "60000"},
      {"pbsPort", "0"},
      {"enabled", "1"},
      {"scheduleStops", "8388608,0,0,0,0,0,1"},
      {"forwardTo", "a@x b@y"},
      {"tlsNoVerify", "1"},
      {"smtpStartTls", "0"},
      {"popStartTls", "1"},
      {"phoneCutOriginalMessage", "1"},
      {"filterMode", "2"},
      {"oversizeKb", "1024"},
      {"remoteSuspended", "1"},
      {"replaceFromList", "x@y"},
      {"appendSenderToSubject", "1"},
      {"replaceFromOn", "0"},
      {"accountNumber", "5"},
  };
  for (const auto& e : expected) EXPECT_EQ(ShownValue(run.out, e.name), e.value) << e.name;
  EXPECT_EQ(run.out.find("unused"), std::string::npos);
}

TEST_F(CliShow, FieldsComeInOffsetOrderOnePerLine) {
  const CliRun run = RunCli(config.path(), {"--dir", current.path(), "show", "account", "6"});
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(ShownValue(run.out, "accountName"), "tab\\x09here");
  const auto at = [&](const char* name) { return run.out.find(std::string("\n") + name + " = "); };
  EXPECT_LT(run.out.find("smtpServer = "), at("enabled"));
  EXPECT_LT(at("enabled"), at("accountName"));
  EXPECT_LT(at("accountName"), at("phoneMode"));
  EXPECT_LT(at("tlsNoVerify"), at("replaceFromList"));  // account record, then its extra record
}

TEST_F(CliShow, RefusesAnAccountOutsideTheTable) {
  for (const char* number : {"400", "-1", "x"}) {
    const CliRun run = RunCli(config.path(), {"--dir", current.path(), "show", "account", number});
    EXPECT_EQ(run.exitCode, 1) << number;
    EXPECT_NE(run.err.find("0..399"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace velnora
