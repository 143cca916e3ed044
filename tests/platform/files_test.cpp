#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora::platform {
namespace {

using testing::FileText;

TEST(Files, ReplaceWriterLeavesOldFileUntilCommit) {
  testing::TempFolder dir;
  const std::string path = dir.File("settings.bin");
  { std::ofstream(path) << "old"; }
  {
    ReplaceFileWriter writer(path);
    ASSERT_TRUE(writer.Write(std::string_view("new contents")));
    EXPECT_EQ(FileText(path), "old");
    // destroyed without Commit: the old file stays, no temporary remains
  }
  EXPECT_EQ(FileText(path), "old");
  EXPECT_FALSE(FileExists(path + ".new"));
  ReplaceFileWriter writer(path);
  ASSERT_TRUE(writer.Write(std::string_view("new")));
  ASSERT_TRUE(writer.Skip(5));
  ASSERT_TRUE(writer.Write(std::string_view("x")));
  ASSERT_TRUE(writer.Skip(3));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(FileText(path), std::string("new\0\0\0\0\0x\0\0\0", 12));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Files, NewFilesArePrivateAndReadOnlyCanBeCleared) {
  testing::TempFolder dir;
  const std::string path = dir.File("a.txt");
  ASSERT_TRUE(OpenFile(path, "wb"));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  chmod(path.c_str(), 0400);
  EXPECT_TRUE(ClearReadOnly(path));
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IWUSR);
  EXPECT_TRUE(ClearReadOnly(dir.File("absent")));
}

TEST(Files, PrivateFoldersFollowXdgVariables) {
  testing::TempFolder dir;
  testing::ScopedEnv config("XDG_CONFIG_HOME", dir.File("cfg"));
  testing::ScopedEnv runtime("XDG_RUNTIME_DIR", dir.File("run"));
  EXPECT_EQ(ConfigFolder(), dir.File("cfg/velnora"));
  EXPECT_EQ(PrivateTempFolder(), dir.File("run/velnora"));
  struct stat st {};
  ASSERT_EQ(stat(dir.File("run/velnora").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // A folder that others could read is tightened.
  chmod(dir.File("run/velnora").c_str(), 0755);
  EXPECT_EQ(PrivateTempFolder(), dir.File("run/velnora"));
  ASSERT_EQ(stat(dir.File("run/velnora").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(Files, RetryOpenGivesUpAfterAttemptsAndStopsEarly) {
  testing::TempFolder dir;
  std::atomic<bool> stop{true};
  EXPECT_FALSE(OpenFileWithRetry(dir.File("none/x"), "rb", 3, 10));
  EXPECT_FALSE(OpenFileWithRetry(dir.File("none/x"), "rb", 10, 100000, &stop));
  EXPECT_TRUE(OpenFileWithRetry(dir.File("y"), "ab", 3, 10));
}

TEST(Files, JoinPathKeepsOneSeparator) {
  EXPECT_EQ(JoinPath("/a/", "/b"), "/a/b");
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
}

}  // namespace
}  // namespace velnora::platform
