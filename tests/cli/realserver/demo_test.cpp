// velnora-cli demo as a new user runs it: a PATH without the system folders
// where Debian installs the servers, no XDG_RUNTIME_DIR, temporary files in
// the user's own folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "../cli_runner.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using testing::RunCli;
using testing::ScopedEnv;
using testing::TempFolder;

class Demo : public ::testing::Test {
 protected:
  // The child gets everything but its PATH from here.
  Demo()
      : tmp_("TMPDIR", home.File("tmp")),
        cache_("XDG_CACHE_HOME", home.File("cache")),
        runtime_("XDG_RUNTIME_DIR", "") {
    std::filesystem::create_directories(home.File("tmp"));
    std::filesystem::create_directories(home.File("config"));
    // As root, Dovecot's own users must reach the demo's folder.
    ::chmod(home.path().c_str(), 0755);
    ::chmod(home.File("tmp").c_str(), 0755);
  }
  std::size_t LeftInTmp() const {
    std::error_code ec;
    return std::size_t(std::distance(std::filesystem::directory_iterator(home.File("tmp"), ec), {}));
  }

  TempFolder home;

 private:
  ScopedEnv tmp_, cache_, runtime_;
};

TEST_F(Demo, ForwardsWithTheServersOffThePath) {
  ScopedEnv path("PATH", "/usr/local/bin:/usr/bin:/bin");
  const auto run = RunCli(home.File("config"), {"demo"});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("\n4 message(s) arrived at the SMTP server:\n"), std::string::npos) << run.out << run.err;
  EXPECT_EQ(LeftInTmp(), 0u);
}

// A server that is installed but does not start is named by its path, with
// the end of its output, and its folder stays for a look.
TEST_F(Demo, ServerThatDoesNotStartIsNamedAndItsFolderKept) {
  ::mkdir(home.File("bin").c_str(), 0755);
  std::ofstream(home.File("bin/dovecot")) << "#!/bin/sh\necho 'Fatal: broken on purpose' >&2\nexit 89\n";
  ::chmod(home.File("bin/dovecot").c_str(), 0755);
  ScopedEnv path("PATH", home.File("bin") + ":/usr/bin:/bin");
  const auto run = RunCli(home.File("config"), {"demo"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Dovecot did not start (" + home.File("bin/dovecot") + " -F -c "), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("\n    Fatal: broken on purpose\n"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("not installed"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" is kept for a look"), std::string::npos) << run.err;
  EXPECT_EQ(LeftInTmp(), 1u);
}

}  // namespace
}  // namespace velnora
