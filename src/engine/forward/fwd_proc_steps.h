// The message stages of the running program: the engine's filter,
// composition and overflow notice, as FwdProc takes them.
#pragma once

#include "engine/forward/fwd_proc.h"

namespace velnora {

MessageSteps ProgramMessageSteps();

}  // namespace velnora
