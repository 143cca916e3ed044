// Replays the inputs the fuzzer of the SMTP reply readers once failed on
// (tests/transport/data/transport_smtp_reply_fuzz/) and its seed corpus through the fuzz target.
#define LLVMFuzzerTestOneInput SmtpReplyFuzzEntry
#include "../../fuzz/transport_smtp_reply_fuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/fuzz_replay.h"

namespace velnora {
namespace {

VELNORA_FUZZ_REPLAY_TESTS(SmtpReplyFuzzReplay, SmtpReplyFuzzEntry, "transport", "transport_smtp_reply_fuzz")

}  // namespace
}  // namespace velnora
