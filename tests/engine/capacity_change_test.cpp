// A mailbox capacity change at start-up: the UIDL store and the settings file
// change together, so that a process killed right after any step starts
// again with every list intact and announces the change once.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/context.h"
#include "support/recording_reporter.h"
#include "support/settings_bytes.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using namespace velnora::testing;

constexpr char kStore[] = "velnora4uidl_zo400.mbx";
constexpr char kSettings[] = "velnora4_zo400.prf";

// Store bytes laid out by hand: per account a count and `capacity` slots of
// 72 bytes, then the 16-byte trailer. Account 3 holds two UIDLs.
std::string StoreBytes(int capacity) {
  const std::size_t block = 4 + 72 * std::size_t(capacity);
  std::string bytes(400 * block + 16, '\0');
  const int32_t count = 2;
  std::memcpy(bytes.data() + 3 * block, &count, 4);
  std::memcpy(bytes.data() + 3 * block + 4, "uidl-a", 6);
  std::memcpy(bytes.data() + 3 * block + 4 + 72, "uidl-b", 6);
  std::memcpy(bytes.data() + 400 * block, "VEL_NORA4_SP4", 13);
  return bytes;
}

int CapacityInFile(const std::string& path) { return GetInt16(Scrambled(ReadBytes(path)), 120) & 0xFFFF; }

TEST(CapacityChange, StoreAndSettingsChangeTogetherAndSurviveAKill) {
  struct Case {
    const char* state;  // what a run left on disk
    int held, next, storeLayout;
    bool announced;
  };
  const Case cases[] = {
      {"a change chosen, nothing applied yet", 1000, 2000, 1000, true},
      {"killed after the store was rewritten", 1000, 2000, 2000, true},
      {"killed with the settings one step ahead", 2000, 2000, 1000, false},
      {"the change completed earlier", 2000, 2000, 2000, false},
      {"lowered, nothing applied yet", 2000, 1000, 2000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    TempFolder current, config, runtimeDir;
    ScopedEnv runtimeEnv("XDG_RUNTIME_DIR", runtimeDir.path());
    std::vector<uint8_t> settings = BareSettings();
    PutInt16(settings, 120, c.held);
    PutInt16(settings, 122, c.next);
    WriteBytes(config.File(kSettings), Scrambled(settings));
    const std::string store = StoreBytes(c.storeLayout);
    WriteBytes(config.File(kStore), std::vector<uint8_t>(store.begin(), store.end()));

    {
      // The start-up steps alone: no exit save follows (as after a kill).
      RecordingReporter reporter;
      Context ctx(reporter, SettingsLocation(current.path(), config.path()));
      ASSERT_TRUE(ctx.StartUp());
      EXPECT_EQ(ctx.capacityChangedTo, c.announced ? c.next : 0);
      EXPECT_EQ(ctx.runtimeOf(3).storedCount(), 2);
      EXPECT_EQ(ctx.runtimeOf(3).StoredUidl(1), "uidl-b");
    }
    EXPECT_EQ(CapacityInFile(config.File(kSettings)), c.next) << "the settings file names the capacity in use";
    EXPECT_EQ(std::filesystem::file_size(config.File(kStore)), StoreBytes(c.next).size())
        << "the store is laid out for it";

    RecordingReporter reporter;
    Context again(reporter, SettingsLocation(current.path(), config.path()));
    ASSERT_TRUE(again.StartUp());
    EXPECT_EQ(again.capacityChangedTo, 0) << "announced once";
    EXPECT_EQ(again.runtimeOf(3).storedCount(), 2);
    EXPECT_EQ(again.runtimeOf(3).StoredUidl(0), "uidl-a");
  }
}

}  // namespace
}  // namespace velnora
