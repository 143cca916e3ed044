// Replays the inputs the fuzzer of the POP3 reply parsers once failed on
// (tests/transport/data/transport_pop3_parse_fuzz/) and its seed corpus through the fuzz target.
#define LLVMFuzzerTestOneInput Pop3ParseFuzzEntry
#include "../../fuzz/transport_pop3_parse_fuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/fuzz_replay.h"

namespace velnora {
namespace {

TEST(Pop3ParseFuzzReplay, FoundInputs) {
  testing::ReplayFuzzInputs(Pop3ParseFuzzEntry,
                            testing::FuzzInputs("tests/transport/data/transport_pop3_parse_fuzz"));
}

TEST(Pop3ParseFuzzReplay, SeedCorpus) {
  const auto seeds = testing::FuzzInputs("fuzz/corpus/transport_pop3_parse_fuzz");
  ASSERT_FALSE(seeds.empty());
  testing::ReplayFuzzInputs(Pop3ParseFuzzEntry, seeds);
}

}  // namespace
}  // namespace velnora
