// Replays the inputs the fuzzer of the POP3 and SMTP clients against a scripted server once
// failed on (tests/transport/data/transport_peer_fuzz/) and its seed corpus through the fuzz
// target.
#define LLVMFuzzerTestOneInput PeerFuzzEntry
#include "../../fuzz/transport_peer_fuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/fuzz_replay.h"

namespace velnora {
namespace {

VELNORA_FUZZ_REPLAY_TESTS(PeerFuzzReplay, PeerFuzzEntry, "transport", "transport_peer_fuzz")

}  // namespace
}  // namespace velnora
