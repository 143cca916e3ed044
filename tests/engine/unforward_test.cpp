// "Unforward now": an account's own history and stored UIDLs go, nobody else's.
#include <gtest/gtest.h>

#include <fstream>

#include "config/settings_defaults.h"
#include "config/settings_file.h"
#include "engine/context.h"
#include "engine/history/runtime_state.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;

TEST(Unforward, OnlyTheAccountsOwnRecordsAndUidlsGoAndTheStoreIsSavedAtOnce) {
  TempFolder folder, runtimeDir;
  ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtimeDir.path());
  auto image = std::make_unique<SettingsImage>();
  MakeFreshTable(*image, {});
  testing::SetText(image->accounts[1].accountName, "home");
  testing::SetText(image->accounts[2].accountName, "myhome");
  SettingsLocation location(folder.path(), "");
  location.EnterCurrentFolderMode();
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  const std::string history =
      "V1;0;10(1);26/12/09 10:00;s1;f;t; <a@x>;home;\n"
      "V1;0;10(1);26/12/09 10:01;s2;f;t; <b@x>;myhome;\n"
      "V1;3;Info;26/12/09 10:02;note;(Velnora System); ; ;1 : home;\n"
      "V1;0;10(1);26/12/09 10:03;s3;f;t; <c@x>;(taro);\n"
      "V1;0;10(1);26/12/09 10:04;s4;f;t; <d@x>;home;\n";
  std::ofstream(folder.File("velnora_.log"), std::ios::binary) << history;

  {
    testing::RecordingReporter reporter;
    Context ctx(reporter, SettingsLocation(folder.path(), ""));
    ASSERT_TRUE(ctx.StartUp());
    for (int i : {1, 2}) {
      ctx.runtimeOf(i).SetStoredUidl(0, "uidl-" + std::to_string(i));
      ctx.runtimeOf(i).SetStoredCount(1);
    }
    ASSERT_TRUE(SaveRuntimeState(ctx, nullptr, true));
    ASSERT_TRUE(UnforwardAccount(ctx, 1));
    // An account with neither name nor user removes nothing of the others.
    ASSERT_TRUE(UnforwardAccount(ctx, 7));
  }
  EXPECT_EQ(testing::FileText(folder.File("velnora_.log")),
            "V1;0;10(1);26/12/09 10:01;s2;f;t; <b@x>;myhome;\n"
            "V1;3;Info;26/12/09 10:02;note;(Velnora System); ; ;1 : home;\n"
            "V1;0;10(1);26/12/09 10:03;s3;f;t; <c@x>;(taro);\n");
  // Read back by the next process: account 1 starts over, account 2 keeps its UIDL.
  testing::RecordingReporter reporter;
  Context again(reporter, SettingsLocation(folder.path(), ""));
  ASSERT_TRUE(again.StartUp());
  EXPECT_EQ(again.runtimeOf(1).storedCount(), 0);
  EXPECT_EQ(again.runtimeOf(2).StoredUidl(0), "uidl-2");
}

}  // namespace
}  // namespace velnora
