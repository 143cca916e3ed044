#include "engine/forward/temp_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>

#include "config/common_settings.h"
#include "platform/files.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

TEST(TempFilesTest, NamesCarryTheMessageAndPartNumbers) {
  EXPECT_EQ(ReceivedMailPath("/t/", 1), "/t/$vnrmail1.vnr");
  EXPECT_EQ(ReceivedMailPath("/t/", 400), "/t/$vnrmail400.vnr");
  EXPECT_EQ(OutgoingPartPath("/t/", 0), "/t/$vnrdiv0.vnr");
}

TEST(TempFilesTest, FolderEndsWithASeparator) {
  testing::TempFolder home;
  testing::ScopedEnv runtime("XDG_RUNTIME_DIR", home.path());
  auto common = std::make_unique<CommonSettings>();
  common->tempInCurrentFolder = 1;
  EXPECT_EQ(TempFileFolder(*common), platform::CurrentFolder() + "/");
  common->tempInCurrentFolder = 0;
  EXPECT_EQ(TempFileFolder(*common), home.path() + "/velnora/");
}

TEST(TempFilesTest, EachSettingsFolderHasItsOwnPrivateFolder) {
  testing::TempFolder home;
  testing::ScopedEnv runtime("XDG_RUNTIME_DIR", home.path());
  auto common = std::make_unique<CommonSettings>();
  const std::string first = TempFileFolder(*common, "/srv/mail/a");
  const std::string second = TempFileFolder(*common, "/srv/mail/b");
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(first, TempFileFolder(*common, "/srv/mail/a")) << "the same folder every run";
  EXPECT_EQ(first.rfind(home.path() + "/velnora/", 0), 0u);
  struct stat st {};
  ASSERT_EQ(stat(first.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(TempFilesTest, RemoveIsTrueOnceTheFileIsGone) {
  testing::TempFolder folder;
  const std::string path = ReceivedMailPath(folder.path() + "/", 2);
  std::ofstream(path) << "x";
  EXPECT_TRUE(RemoveTempFile(path));
  EXPECT_FALSE(platform::FileExists(path));
  EXPECT_TRUE(RemoveTempFile(path));  // already gone
}

}  // namespace
}  // namespace velnora
