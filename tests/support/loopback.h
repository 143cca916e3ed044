// Loopback ports for the test servers: a free one, and waiting until a
// server listens on one.
#pragma once

#include <cstdint>

namespace velnora::testing {

// A port no one listens on right now (0 when none could be had).
uint16_t FreePort();
// Whether `port` of ::1 is free to listen on (false without IPv6 loopback).
bool Ipv6LoopbackPortFree(uint16_t port);
// A connected socket to 127.0.0.1:port, or -1.
int ConnectLoopback(uint16_t port);
// Whether something accepts connections on the port within `timeoutMs`.
bool WaitForPort(uint16_t port, int timeoutMs);

}  // namespace velnora::testing
