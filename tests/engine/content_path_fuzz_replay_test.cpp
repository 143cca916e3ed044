// Replays the seed corpus of the whole-content-path fuzzer (loader, filter,
// MIME and single-part processing, composition) and every input it once
// failed on (tests/engine/data/engine_content_path_fuzz/) through the fuzz
// target.
#define LLVMFuzzerTestOneInput ContentPathFuzzEntry
#include "../../fuzz/engine_content_path_fuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/fuzz_replay.h"

namespace velnora {
namespace {

VELNORA_FUZZ_REPLAY_TESTS(ContentPathFuzzReplay, ContentPathFuzzEntry, "engine", "engine_content_path_fuzz")

}  // namespace
}  // namespace velnora
