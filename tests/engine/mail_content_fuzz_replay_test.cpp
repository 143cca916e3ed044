// Replays the inputs the fuzzer of the received-message loader, header parser and filters once
// failed on (tests/engine/data/engine_mail_content_fuzz/) and its seed corpus through the fuzz
// target.
#define LLVMFuzzerTestOneInput MailContentFuzzEntry
#include "../../fuzz/engine_mail_content_fuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/fuzz_replay.h"

namespace velnora {
namespace {

VELNORA_FUZZ_REPLAY_TESTS(MailContentFuzzReplay, MailContentFuzzEntry, "engine", "engine_mail_content_fuzz")

}  // namespace
}  // namespace velnora
