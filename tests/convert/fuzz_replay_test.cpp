// Replays every input the fuzzer ever failed on, and the seed corpus,
// through the same harness; the sanitizer build of the tests catches any
// return of the fault.
#include <gtest/gtest.h>

#include "../../fuzz/convert_fuzz.cpp"
#include "support/fuzz_replay.h"

namespace velnora {
namespace {

TEST(FuzzReplay, FoundCrashInputs) {
  auto files = testing::FuzzInputs("tests/convert/data");
  ASSERT_FALSE(files.empty());
  testing::ReplayFuzzInputs(LLVMFuzzerTestOneInput, files);
}

TEST(FuzzReplay, SeedCorpus) {
  auto files = testing::FuzzInputs("fuzz/corpus/convert_fuzz");
  ASSERT_FALSE(files.empty());
  testing::ReplayFuzzInputs(LLVMFuzzerTestOneInput, files);
}

}  // namespace
}  // namespace velnora
