// Replays the inputs the fuzzer of the POP3 reply parsers once failed on
// (tests/transport/data/transport_pop3_parse_fuzz/) and its seed corpus through the fuzz target.
#define LLVMFuzzerTestOneInput Pop3ParseFuzzEntry
#include "../../fuzz/transport_pop3_parse_fuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/fuzz_replay.h"

namespace velnora {
namespace {

VELNORA_FUZZ_REPLAY_TESTS(Pop3ParseFuzzReplay, Pop3ParseFuzzEntry, "transport", "transport_pop3_parse_fuzz")

}  // namespace
}  // namespace velnora
