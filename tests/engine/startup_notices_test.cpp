// The first lines of the activity list after start-up.
#include <gtest/gtest.h>

#include <fstream>

#include "config/settings_defaults.h"
#include "config/settings_file.h"
#include "engine/context.h"
#include "platform/codepage.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora {
namespace {

using testing::RecordingReporter;
using testing::ScopedEnv;
using testing::TempFolder;

TEST(StartupNotices, SessionLogAndEachDeveloperKeywordAreAnnounced) {
  TempFolder folder, runtimeDir;
  ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtimeDir.path());
  auto image = std::make_unique<SettingsImage>();
  MakeFreshTable(*image, {});
  image->common.sessionLog = 1;
  testing::SetText(image->common.developerOptions, "pw530928 x kq480317 zz000000");
  SettingsLocation location(folder.path(), "");
  location.EnterCurrentFolderMode();
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  std::ofstream(folder.File("velnora_session.log")) << std::string(5000, 'x');

  RecordingReporter reporter;
  Context ctx(reporter, SettingsLocation(folder.path(), ""));
  ASSERT_TRUE(ctx.StartUp());
  ctx.AnnounceStartUp();
  const std::vector<std::string> expected = {
      SJIS(u8"Velnora 400アカウント版 V5.20.00 通信ログ出力(デバッグ用)が有効になっています: velnora_session.log : 4 kbyte"),
      SJIS(u8"(kq480317) 特別機能: X-Mailer-Info: アカウント名 出力"),
      SJIS(u8"(pw530928) 特別機能: SMTPエラーコード書き出し"),
  };
  EXPECT_EQ(reporter.ActivityTexts(), expected);
}

}  // namespace
}  // namespace velnora
