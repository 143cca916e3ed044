// Replays the inputs the fuzzer of the SMTP reply readers once failed on
// (tests/transport/data/transport_smtp_reply_fuzz/) and its seed corpus through the fuzz target.
#define LLVMFuzzerTestOneInput SmtpReplyFuzzEntry
#include "../../fuzz/transport_smtp_reply_fuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/fuzz_replay.h"

namespace velnora {
namespace {

TEST(SmtpReplyFuzzReplay, FoundInputs) {
  testing::ReplayFuzzInputs(SmtpReplyFuzzEntry,
                            testing::FuzzInputs("tests/transport/data/transport_smtp_reply_fuzz"));
}

TEST(SmtpReplyFuzzReplay, SeedCorpus) {
  const auto seeds = testing::FuzzInputs("fuzz/corpus/transport_smtp_reply_fuzz");
  ASSERT_FALSE(seeds.empty());
  testing::ReplayFuzzInputs(SmtpReplyFuzzEntry, seeds);
}

}  // namespace
}  // namespace velnora
