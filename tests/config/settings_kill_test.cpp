// A save killed at any moment leaves a whole settings file: the previous
// content or the new one, never a cut or mixed file.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "config/settings_file.h"
#include "support/settings_bytes.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using namespace velnora::testing;

// Every record carries the generation, so a file made of two saves shows.
void Stamp(SettingsImage& image, int generation) {
  image.common.historyLimit = generation;
  for (int i = 0; i < kAccountSlots; ++i) {
    image.accounts[i].pollInterval = static_cast<int16_t>(generation);
    image.extras[i].replaceFromOn = static_cast<int16_t>(generation);
  }
  image.unusedTail[kUnusedTailSize - 1] = static_cast<uint8_t>(generation);
}

TEST(SettingsSaveKilled, LeavesTheOldOrTheNewFileWhole) {
  TempFolder current, config;
  SettingsLocation location(current.path(), config.path());
  auto image = std::make_unique<SettingsImage>();
  LoadSettings(*image, location, DisplayArea{}, true);
  Stamp(*image, 1);
  ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);

  std::mt19937 random(20261208);
  int killedMidWrite = 0;
  for (int round = 0; round < 8; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Saves alternating generations until killed (or for at most ~30 s).
      for (int generation = 2; generation < 200; ++generation) {
        Stamp(*image, generation);
        SaveSettings(*image, location);
      }
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50 + random() % 700));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver finished before it was killed";

    const std::string path = config.File("velnora4_zo400.prf");
    killedMidWrite += std::filesystem::exists(path + ".new") ? 1 : 0;
    const std::vector<uint8_t> bytes = Scrambled(ReadBytes(path));
    ASSERT_EQ(bytes.size(), kFileSize) << "round " << round;
    const int generation = static_cast<int>(bytes[64]);
    ASSERT_GE(generation, 1);
    for (int i = 0; i < 401; ++i) {
      ASSERT_EQ(GetInt16(bytes, AccountAt(i) + 7983), generation) << "round " << round << " account " << i;
      ASSERT_EQ(GetInt16(bytes, ExtraAt(i) + 1024), generation) << "round " << round << " extra " << i;
    }
    ASSERT_EQ(bytes[kFileSize - 1], generation);

    auto loaded = std::make_unique<SettingsImage>();
    SettingsLocation again(current.path(), config.path());
    EXPECT_TRUE(LoadSettings(*loaded, again, DisplayArea{}, false).valid);
  }
  // Most kills land while a new file is being written; that is the case under test.
  RecordProperty("killedMidWrite", killedMidWrite);
  EXPECT_GT(killedMidWrite, 0);
}

}  // namespace
}  // namespace velnora
