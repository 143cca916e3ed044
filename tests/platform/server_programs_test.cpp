#include "platform/server_programs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/temp_folder.h"

namespace velnora::platform {
namespace {

void MakeFile(const std::string& path, mode_t mode) {
  std::ofstream(path) << "#!/bin/sh\n";
  ::chmod(path.c_str(), mode);
}

// PATH wins over the fixed folders; files that cannot run and relative or
// empty PATH entries are passed over.
TEST(ServerPrograms, PathFirstThenTheSystemFolders) {
  testing::TempFolder dir;
  ::mkdir(dir.File("a").c_str(), 0755);
  ::mkdir(dir.File("b").c_str(), 0755);
  MakeFile(dir.File("a/velnora-probe"), 0644);  // not executable
  MakeFile(dir.File("b/velnora-probe"), 0755);
  MakeFile(dir.File("b/sh"), 0755);
  struct Case {
    std::string name, path, expected;
  } cases[] = {
      {"velnora-probe", dir.File("a") + ":" + dir.File("b"), dir.File("b/velnora-probe")},
      {"velnora-probe", "::relative:" + dir.File("b"), dir.File("b/velnora-probe")},
      {"velnora-probe", "/usr/bin", ""},
      {"sh", dir.File("b") + ":/bin", dir.File("b/sh")},
      {dir.File("b/sh"), "", dir.File("b/sh")},
      {"", "/bin", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FindServerProgramIn(c.name, c.path), c.expected) << c.name << " in " << c.path;
}

// Debian's servers live in /usr/sbin, off an ordinary user's PATH.
TEST(ServerPrograms, FoundInUsrSbinWhenPathLacksIt) {
  struct stat st {};
  if (::stat("/usr/sbin/dovecot", &st) != 0) GTEST_SKIP() << "no /usr/sbin/dovecot on this machine";
  EXPECT_EQ(FindServerProgramIn("dovecot", "/usr/local/bin:/usr/bin:/bin"), "/usr/sbin/dovecot");
  EXPECT_EQ(FindServerProgramIn("dovecot", ""), "/usr/sbin/dovecot");
}

}  // namespace
}  // namespace velnora::platform
