// The UIDL work of a check and of a pass: the new-message decision for a
// full mailbox, and loading and saving the store at the default capacity
// (400 accounts x 10,000 slots, 288 MB on disk) when little mail is stored.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "config/common_settings.h"
#include "transport/account_runtime.h"
#include "transport/uidl/uidl_decision.h"
#include "transport/uidl/uidl_store.h"

namespace velnora {
namespace {

std::string Uidl(int n) { return "0000" + std::to_string(n) + "5f3a91c2d7e4b8a6"; }

// Resident memory of this process in MB (Linux /proc).
double ResidentMb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kb = 0;
      status >> kb;
      return kb / 1024.0;
    }
    std::getline(status, key);
  }
  return 0;
}

void BM_NewMessageDecision(benchmark::State& state) {
  const int count = int(state.range(0));
  RuntimeTables tables(kMaxHeldMails);
  AccountRuntime& runtime = tables.accounts[0];
  // Stored: messages 0..count-1; listed: the newest count, 10% new.
  for (int p = 0; p < count; ++p) runtime.SetStoredUidl(p, Uidl(p));
  runtime.SetStoredCount(count);
  const int shift = count / 10;
  runtime.currentUidls.resize(std::size_t(count));
  for (int j = 0; j < count; ++j) runtime.currentUidls[std::size_t(j)] = MakeSlot(Uidl(j + shift));
  int known = 0;
  for (auto _ : state) {
    const auto decision = DecideNewMessages(
        [&](int p) { return runtime.StoredUidl(p); }, count,
        [&](int j) { return runtime.CurrentUidl(j); }, 0, count, runtime.isNew);
    known = decision.known;
    benchmark::DoNotOptimize(known);
  }
  if (known != count - shift) state.SkipWithError("wrong decision");
}
BENCHMARK(BM_NewMessageDecision)->Arg(50000)->Unit(benchmark::kMillisecond);

struct StoreFixture {
  StoreFixture() : tables(kDefaultHeldMails) {
    folder = std::filesystem::temp_directory_path() / "velnora-uidl-bench";
    std::filesystem::create_directories(folder);
    path = (folder / kUidlStoreFileName).string();
    // A few accounts in use with a little mail each.
    for (int a = 0; a < 20; ++a) {
      for (int p = 0; p < 50; ++p) tables.accounts[std::size_t(a)].SetStoredUidl(p, Uidl(a * 100 + p));
      tables.accounts[std::size_t(a)].SetStoredCount(50);
    }
  }
  ~StoreFixture() { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
  std::string path;
  RuntimeTables tables;
};

void BM_SaveMostlyEmptyStore(benchmark::State& state) {
  StoreFixture fixture;
  for (auto _ : state) {
    fixture.tables.accounts[0].MarkChanged();  // a pass changed one list
    if (!SaveUidlStore(fixture.tables, fixture.path)) state.SkipWithError("save failed");
  }
  state.counters["file_MB"] = double(std::filesystem::file_size(fixture.path)) / 1e6;
  state.counters["rss_MB"] = ResidentMb();
}
BENCHMARK(BM_SaveMostlyEmptyStore)->Unit(benchmark::kMillisecond);

void BM_SaveUnchangedStore(benchmark::State& state) {
  StoreFixture fixture;
  SaveUidlStore(fixture.tables, fixture.path);
  for (auto _ : state) {
    if (!SaveUidlStore(fixture.tables, fixture.path)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveUnchangedStore)->Unit(benchmark::kMicrosecond);

void BM_LoadMostlyEmptyStore(benchmark::State& state) {
  StoreFixture fixture;
  SaveUidlStore(fixture.tables, fixture.path);
  auto loaded = std::make_unique<RuntimeTables>(kDefaultHeldMails);
  for (auto _ : state) {
    if (!LoadUidlStore(*loaded, fixture.path, kDefaultHeldMails, kSettingsMagic)) {
      state.SkipWithError("load failed");
    }
  }
  if (loaded->accounts[19].StoredUidl(49) != Uidl(1949)) state.SkipWithError("wrong content");
  state.counters["rss_MB"] = ResidentMb();
}
BENCHMARK(BM_LoadMostlyEmptyStore)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velnora

BENCHMARK_MAIN();
