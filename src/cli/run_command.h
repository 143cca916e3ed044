// velnora-cli run: the desktop program's forwarding without a window.
#pragma once

#include "cli/cli_context.h"

namespace velnora::cli {

// Loads the settings as the desktop program does, runs the start pass and
// then, unless `once`, a poll tick every 60 s until SIGINT or SIGTERM, which
// stop like "Disconnect". 0 when the start pass ran (and stopped cleanly), 1
// when it refused to start or the settings folder is in use by another
// forwarding process.
int RunForwarding(CliContext& context, bool once);

// Milliseconds between poll ticks (the desktop program's timer 101).
inline constexpr int64_t kPollTickMs = 60000;

}  // namespace velnora::cli
