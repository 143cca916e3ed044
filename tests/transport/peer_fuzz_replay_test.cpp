// Replays the inputs the fuzzer of the POP3 and SMTP clients against a scripted server once
// failed on (tests/transport/data/transport_peer_fuzz/) and its seed corpus through the fuzz
// target.
#define LLVMFuzzerTestOneInput PeerFuzzEntry
#include "../../fuzz/transport_peer_fuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/fuzz_replay.h"

namespace velnora {
namespace {

TEST(PeerFuzzReplay, FoundInputs) {
  testing::ReplayFuzzInputs(PeerFuzzEntry,
                            testing::FuzzInputs("tests/transport/data/transport_peer_fuzz"));
}

TEST(PeerFuzzReplay, SeedCorpus) {
  const auto seeds = testing::FuzzInputs("fuzz/corpus/transport_peer_fuzz");
  ASSERT_FALSE(seeds.empty());
  testing::ReplayFuzzInputs(PeerFuzzEntry, seeds);
}

}  // namespace
}  // namespace velnora
