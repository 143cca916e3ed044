// Replays the inputs the fuzzer of the received-message loader, header parser and filters once
// failed on (tests/engine/data/engine_mail_content_fuzz/) and its seed corpus through the fuzz
// target.
#define LLVMFuzzerTestOneInput MailContentFuzzEntry
#include "../../fuzz/engine_mail_content_fuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/fuzz_replay.h"

namespace velnora {
namespace {

TEST(MailContentFuzzReplay, FoundInputs) {
  testing::ReplayFuzzInputs(MailContentFuzzEntry,
                            testing::FuzzInputs("tests/engine/data/engine_mail_content_fuzz"));
}

TEST(MailContentFuzzReplay, SeedCorpus) {
  const auto seeds = testing::FuzzInputs("fuzz/corpus/engine_mail_content_fuzz");
  ASSERT_FALSE(seeds.empty());
  testing::ReplayFuzzInputs(MailContentFuzzEntry, seeds);
}

}  // namespace
}  // namespace velnora
