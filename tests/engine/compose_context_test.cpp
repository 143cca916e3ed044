// CreateSentMailFile as the forwarding procedure calls it: the account of
// the given index, the context's temporary folder and conversion options.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/compose/compose.h"
#include "engine/context.h"
#include "engine/message/header_parse.h"
#include "engine/forward/temp_files.h"
#include "support/recording_reporter.h"
#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora {
namespace {

using testing::FileText;

TEST(ComposeContextTest, ComposesForTheAccountOfTheIndex) {
  testing::TempFolder folder;
  testing::RecordingReporter reporter;
  Context ctx(reporter, SettingsLocation::ForFolder(folder.path()));
  ctx.tempFolder = folder.path();
  AccountSettings& account = ctx.account(3);
  std::snprintf(account.myAddress, sizeof account.myAddress, "three@home.example");
  account.fromIsMe = 1;
  account.phoneMode = account.phoneSplit = account.phoneNumberSubjects = 1;
  account.phoneSplitMaxMails = 1;
  account.mailNumber = 41;
  ctx.convert.encodeHalfwidthKana = true;

  MailMessage message;
  ASSERT_TRUE(SetMessageText(message, "From: t@s.example\r\nSubject: x\r\n\r\nbody"));
  ParseMailContent(message);
  message.partNumber = 9;
  ASSERT_EQ(CreateSentMailFile(ctx, message, 3, 0, 0), 1);
  EXPECT_EQ(message.partNumber, 1);
  EXPECT_EQ(int{ctx.account(3).mailNumber}, 42) << "the number is kept in the account";
  const std::string part = FileText(OutgoingPartPath(folder.path() + "/", 0));
  EXPECT_NE(part.find("From: <three@home.example>\r\n"), std::string::npos) << part;
  EXPECT_NE(part.find("Subject: 42)x\r\n"), std::string::npos) << part;

  for (int index : {-1, kAccountCount}) {
    message.partNumber = 9;
    EXPECT_EQ(CreateSentMailFile(ctx, message, index, 0, 0), 0) << index;
    EXPECT_EQ(message.partNumber, 0) << index;
  }
}

}  // namespace
}  // namespace velnora
