// velnora-cli export-csv and import-csv: a round trip through the file
// leaves the settings as they were, the file is the owner's only, and a
// broken file changes nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "support/settings_bytes.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using namespace velnora::testing;

class CliCsv : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Cli({"set", "account", "2", "accountName=Smith, \"J\"", "popPort=65535", "enabled=1"}).exitCode, 0);
  }
  CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", current.path()});
    return RunCli(config.path(), args);
  }
  std::vector<uint8_t> Settings() const { return ReadBytes(config.File("velnora/velnora4_zo400.prf")); }
  TempFolder current, config, files;
};

TEST_F(CliCsv, RoundTripLeavesTheSettingsAsTheyWere) {
  const std::string csv = files.File("accounts.csv");
  const CliRun out = Cli({"export-csv", csv});
  ASSERT_EQ(out.exitCode, 0) << out.err;
  struct stat st {};
  ASSERT_EQ(::stat(csv.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  const std::vector<uint8_t> before = Settings();
  const CliRun in = Cli({"import-csv", csv});
  ASSERT_EQ(in.exitCode, 0) << in.err;
  EXPECT_NE(in.out.find("400"), std::string::npos) << in.out;
  EXPECT_EQ(Settings(), before);
}

TEST_F(CliCsv, ABrokenFileChangesNothing) {
  const std::string csv = files.File("accounts.csv");
  ASSERT_EQ(Cli({"export-csv", csv}).exitCode, 0);
  std::string text;
  {
    std::ifstream in(csv, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Account 0 renamed, then account 1's poll interval made 0 (refused).
  const std::size_t line1 = text.find("\r\n") + 2;
  text.insert(line1 + 2, "renamed");
  const std::size_t line2 = text.find("\r\n", line1) + 2;
  const std::size_t interval = text.find(',', text.find(',', line2) + 1) + 1;
  text.replace(interval, text.find(',', interval) - interval, "0");
  std::ofstream(csv, std::ios::binary) << text;
  const std::vector<uint8_t> before = Settings();
  const CliRun in = Cli({"import-csv", csv});
  EXPECT_NE(in.exitCode, 0);
  EXPECT_NE(in.err.find("nothing was imported"), std::string::npos) << in.err;
  EXPECT_EQ(Settings(), before);
}

}  // namespace
}  // namespace velnora
