// velnora-cli set: exactly the named fields change in the saved file, values
// outside the documented limits are refused with nothing saved, and the
// store rules of the pages apply.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "support/settings_bytes.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using namespace velnora::testing;

class CliSet : public ::testing::Test {
 protected:
  void SetUp() override {
    // The first set creates the file in the configuration folder.
    const CliRun run = RunCli(config.path(), {"--dir", current.path(), "set", "common", "sessionLog=0"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(std::filesystem::file_size(File()), kFileSize);
  }
  std::string File() const { return config.File("velnora/velnora4_zo400.prf"); }
  std::vector<uint8_t> Plain() const { return Scrambled(ReadBytes(File())); }
  CliRun Set(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", current.path(), "set"});
    return RunCli(config.path(), args);
  }
  CliRun Show(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", current.path(), "show"});
    return RunCli(config.path(), args);
  }
  TempFolder current, config;
};

struct Span {
  std::size_t at;
  std::size_t size;
};

TEST_F(CliSet, ChangesExactlyTheBytesOfTheNamedFields) {
  const std::vector<uint8_t> before = Plain();
  ASSERT_EQ(Set({"account", "7", "pollInterval=30", "popPort=50000", "accountName=テスト", "popPassword=secret",
                 "tlsNoVerify=1", "smtpStartTls=1", "scheduleStops=1,2,3,4,5,6,16777215", "enabled=1",
                 "replaceFromList=x@y"})
                .exitCode,
            0);
  ASSERT_EQ(Set({"common", "historyLimit=100000", "logColumnWidths=1,2,3,4,5,6"}).exitCode, 0);
  const std::vector<uint8_t> after = Plain();
  ASSERT_EQ(after.size(), before.size());

  const std::size_t a = AccountAt(7);
  const Span fields[] = {{a + 7983, 2},  {a + 7979, 2},  {a + 5123, 254}, {a + 5058, 64}, {a + 37663, 2},
                         {a + 37665, 2},  {a + 36741, 28}, {a + 5122, 1},  {ExtraAt(7), 1024}, {64, 4}, {16, 12}};
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    bool inField = false;
    for (const Span& f : fields) inField |= i >= f.at && i < f.at + f.size;
    ASSERT_TRUE(inField) << "byte " << i << " changed outside the fields that were set";
  }
  std::vector<uint8_t> expected = before;
  PutInt16(expected, a + 7983, 30);
  PutInt16(expected, a + 7979, 50000);  // the 16 bits of the port; the sessions read them unsigned
  PutText(expected, a + 5123, "\x83\x65\x83\x58\x83\x67");
  PutText(expected, a + 5058, "secret");
  PutInt16(expected, a + 37663, 1);
  PutInt16(expected, a + 37665, 1);
  for (int d = 0; d < 6; ++d) PutInt32(expected, a + 36741 + 4 * d, d + 1);
  PutInt32(expected, a + 36741 + 24, 0xFFFFFF);
  expected[a + 5122] = 1;
  PutText(expected, ExtraAt(7), "x@y");
  PutInt32(expected, 64, 100000);
  for (int i = 0; i < 6; ++i) PutInt16(expected, 16 + 2 * i, i + 1);
  EXPECT_EQ(after, expected);
}

TEST_F(CliSet, ShorterTextLeavesNoRemnantOfTheOldOne) {
  ASSERT_EQ(Set({"account", "1", "popPassword=longsecretpassword"}).exitCode, 0);
  ASSERT_EQ(Set({"account", "1", "popPassword=pw"}).exitCode, 0);
  const std::vector<uint8_t> bytes = Plain();
  const std::size_t at = AccountAt(1) + 5058;
  EXPECT_EQ(std::string(bytes.begin() + at, bytes.begin() + at + 3), std::string("pw\0", 3));
  for (std::size_t i = at + 2; i < at + 64; ++i) EXPECT_EQ(bytes[i], 0) << i - at;
}

struct RefusalCase {
  std::vector<std::string> args;
  std::vector<std::string> mentions;  // all must appear in the message
};

class CliSetRefusal : public CliSet, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CliSetRefusal, RefusesAndSavesNothing) {
  const std::vector<uint8_t> before = ReadBytes(File());
  const CliRun run = Set(GetParam().args);
  EXPECT_EQ(run.exitCode, 1);
  for (const std::string& m : GetParam().mentions) EXPECT_NE(run.err.find(m), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(File()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliSetRefusal,
    ::testing::Values(
        RefusalCase{{"account", "0", "pollInterval=0"}, {"pollInterval", "1..1440"}},
        RefusalCase{{"account", "0", "accountName=ok", "pollInterval=5000"}, {"pollInterval", "nothing saved"}},
        RefusalCase{{"account", "0", "enabled=2"}, {"enabled", "0..1"}},
        RefusalCase{{"account", "0", "popPort=70000"}, {"popPort", "0..65535"}},
        RefusalCase{{"account", "0", "phoneCutWordLines=40000"}, {"phoneCutWordLines", "-32768..32767"}},
        RefusalCase{{"account", "0", "filterMode=x"}, {"filterMode", "whole number"}},
        RefusalCase{{"account", "0", "filterMode=1.5"}, {"filterMode"}},
        RefusalCase{{"account", "0", "limitSubjectBytes=255"}, {"limitSubjectBytes", "1..254"}},
        RefusalCase{{"account", "0", "phoneSplitBytes=40000"}, {"phoneSplitBytes", "1..32767"}},
        RefusalCase{{"account", "0", "scheduleStops=1,2"}, {"scheduleStops", "7 comma-separated"}},
        RefusalCase{{"account", "0", "scheduleStops=0,0,0,0,0,0,16777216"}, {"scheduleStops", "16777215"}},
        RefusalCase{{"account", "0", "accountName=" + std::string(254, 'a')}, {"accountName", "253 bytes"}},
        // 127 double-byte characters are 254 bytes: too long although only 127 characters.
        RefusalCase{{"account", "0", "accountName=" + [] {
                       std::string s;
                       for (int i = 0; i < 127; ++i) s += "あ";
                       return s;
                     }()},
                    {"accountName", "253 bytes"}},
        RefusalCase{{"account", "0", "accountName=😀"}, {"accountName", "code page 932"}},
        RefusalCase{{"account", "0", "subjectPrefix=件名"}, {"subjectPrefix", "US-ASCII"}},
        RefusalCase{{"account", "0", "alwaysForwardFrom=a b c d e f g h i j k l m n o p q r s t u"},
                    {"alwaysForwardFrom", "20 entries"}},
        RefusalCase{{"account", "0", "accountNumber=3"}, {"accountNumber", "kept by the program"}},
        RefusalCase{{"account", "0", "unused5377=1"}, {"unused5377"}},
        RefusalCase{{"account", "0", "noSuchField=1"}, {"noSuchField"}},
        RefusalCase{{"account", "0", "pollInterval"}, {"name=value"}},
        RefusalCase{{"account", "400", "pollInterval=5"}, {"0..399"}},
        RefusalCase{{"common", "pollInterval=5"}, {"pollInterval"}},
        RefusalCase{{"common", "maxHeldMailsNext=60000"}, {"maxHeldMailsNext", "1000..50000"}},
        RefusalCase{{"common", "stuckWorkerMinutes=9"}, {"stuckWorkerMinutes", "10.."}},
        RefusalCase{{"common", "magic=OTHER"}, {"magic", "kept by the program"}},
        RefusalCase{{"account", "0", "oversizeDrop=1", "oversizeStripAttachments=1"},
                    {"oversizeDrop", "oversizeStripAttachments"}}));

TEST_F(CliSet, EmptyListSwitchesItsConditionOff) {
  CliRun run = Set({"account", "2", "filterFromOn=1"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find("filterFromOn"), std::string::npos) << run.err;
  EXPECT_EQ(ShownValue(Show({"account", "2"}).out, "filterFromOn"), "0");

  ASSERT_EQ(Set({"account", "2", "filterFromOn=1", "filterFrom=a@x,b@y　\"c d\""}).exitCode, 0);
  run = Show({"account", "2"});
  EXPECT_EQ(ShownValue(run.out, "filterFrom"), "a@x b@y \"c d\"");
  EXPECT_EQ(ShownValue(run.out, "filterFromOn"), "1");

  // Storing another field of the page applies the page's rule to every list.
  ASSERT_EQ(Set({"account", "2", "filterFrom="}).exitCode, 0);
  EXPECT_EQ(ShownValue(Show({"account", "2"}).out, "filterFromOn"), "0");

  ASSERT_EQ(Set({"common", "remoteControl=1"}).exitCode, 0);
  EXPECT_EQ(ShownValue(Show({"common"}).out, "remoteControl"), "0");
  ASSERT_EQ(Set({"common", "remoteControl=1", "remotePassword=abc"}).exitCode, 0);
  EXPECT_EQ(ShownValue(Show({"common"}).out, "remoteControl"), "1");
}

TEST_F(CliSet, ChoicesThatExcludeEachOtherAndDependentFlags) {
  ASSERT_EQ(Set({"account", "3", "oversizeDrop=1"}).exitCode, 0);
  CliRun run = Show({"account", "3"});
  EXPECT_EQ(ShownValue(run.out, "oversizeDrop"), "1");
  EXPECT_EQ(ShownValue(run.out, "oversizeStripAttachments"), "0");

  ASSERT_EQ(Set({"account", "3", "deleteIncludingFiltered=1"}).exitCode, 0);
  ASSERT_EQ(Set({"account", "3", "spamEraser=1"}).exitCode, 0);
  run = Show({"account", "3"});
  EXPECT_EQ(ShownValue(run.out, "spamEraser"), "1");
  EXPECT_EQ(ShownValue(run.out, "deleteIncludingFiltered"), "0");

  ASSERT_EQ(Set({"account", "3", "noAutoCrlf=0"}).exitCode, 0);
  ASSERT_EQ(Set({"account", "3", "extractLinks=1"}).exitCode, 0);
  EXPECT_EQ(ShownValue(Show({"account", "3"}).out, "noAutoCrlf"), "1");

  ASSERT_EQ(Set({"account", "3", "noUidl=1"}).exitCode, 0);
  EXPECT_EQ(ShownValue(Show({"account", "3"}).out, "noUidlActive"), "1");
}

TEST_F(CliSet, TemplateIsItsOwnRecord) {
  ASSERT_EQ(Set({"template", "accountName=雛形", "pollInterval=60"}).exitCode, 0);
  const CliRun run = Show({"template"});
  EXPECT_EQ(ShownValue(run.out, "accountName"), "雛形");
  EXPECT_EQ(ShownValue(run.out, "pollInterval"), "60");
  EXPECT_EQ(ShownValue(Show({"account", "399"}).out, "pollInterval"), "10");
}

TEST_F(CliSet, CurrentFolderFileIsTheOneChanged) {
  std::filesystem::copy_file(File(), current.File("velnora4_zo400.prf"));
  const std::vector<uint8_t> inConfig = ReadBytes(File());
  ASSERT_EQ(Set({"account", "0", "pollInterval=99"}).exitCode, 0);
  EXPECT_EQ(ReadBytes(File()), inConfig);
  EXPECT_EQ(GetInt16(Scrambled(ReadBytes(current.File("velnora4_zo400.prf"))), AccountAt(0) + 7983), 99);
}

TEST(CliUsage, WithoutACommandOrWithHelpPrintsUsageAndExits2) {
  TempFolder config;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"--help"}, {"frobnicate"}, {"--dir"}}) {
    const CliRun run = RunCli(config.path(), args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("usage: velnora-cli"), std::string::npos);
    EXPECT_TRUE(run.out.empty());
  }
}

// Control characters in texts, at every way in: set refuses them in one-line
// fields (lists take line breaks as separators), an older-settings import
// refuses a file that holds them, and a load cuts a one-line text at the
// first one.
TEST_F(CliSet, ControlCharactersNeverEnterOneLineTexts) {
  const std::vector<uint8_t> before = ReadBytes(File());
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"myAddress=me@x.example>\r\nRCPT TO:<evil@x.example", "CR (0x0d)"},
      {"popServer=pop.example\n", "LF (0x0a)"},
      {"accountName=a\tb", "TAB (0x09)"},
      {"smtpAuthUser=u\x1b[2J", "0x1b"},
      {"separateSmtpSender=x\x7f", "0x7f"},
      {"forwardTo=a@x.example\x01", "0x01"},
  };
  for (const auto& [assignment, said] : refused) {
    const CliRun run = Set({"account", "1", assignment});
    EXPECT_EQ(run.exitCode, 1) << assignment;
    EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadBytes(File()), before) << "nothing saved";
  ASSERT_EQ(Set({"account", "1", "forwardTo=a@x.example\r\nb@y.example\nc@z.example"}).exitCode, 0);
  EXPECT_EQ(ShownValue(Show({"account", "1"}).out, "forwardTo"), "a@x.example b@y.example c@z.example");

  // An older settings file whose myAddress holds a line break.
  std::vector<uint8_t> old(kCommonBytes + 100 * kAccountBytes, 0);
  PutText(old, 0, "VEL_NORA4_SP1");
  PutText(old, kCommonBytes + 42 * kAccountBytes + 386, "me@x.example>\r\nRCPT TO:<evil@x.example>");
  const std::string oldFile = current.File("old.prf");
  WriteBytes(oldFile, Scrambled(old));
  const std::vector<uint8_t> beforeImport = ReadBytes(File());
  const CliRun import = RunCli(config.path(), {"--dir", current.path(), "import-old", "--kind", "2", oldFile});
  EXPECT_EQ(import.exitCode, 1);
  EXPECT_NE(import.err.find("account 42 myAddress"), std::string::npos) << import.err;
  EXPECT_EQ(ReadBytes(File()), beforeImport);

  // A settings file that holds one is read with the text cut at the break.
  std::vector<uint8_t> plain = Plain();
  PutText(plain, AccountAt(5) + 386, "me@x.example>\r\nRCPT TO:<evil@x.example>");
  PutText(plain, AccountAt(5) + 4738, "pop.example\x1b");
  WriteBytes(File(), Scrambled(plain));
  const CliRun shown = Show({"account", "5"});
  EXPECT_EQ(ShownValue(shown.out, "myAddress"), "me@x.example>");
  EXPECT_EQ(ShownValue(shown.out, "popServer"), "pop.example");
}

}  // namespace
}  // namespace velnora
