// Endpoint ids, channels and time-outs of the road between the proxy and the service. Both
// deliverables build against these values; a change here breaks every installed peer.
#pragma once

#include <windows.h>

// Endpoint of the service: the target of every proxy send.
constexpr int SERVICE_ENDPOINT_ID = 0x1001;  // 4097
// Endpoint of the proxy: the target of every service notification.
constexpr int PROXY_ENDPOINT_ID = 0x1002;  // 4098

// P2P commands (proxy to service) and P2P notifications (service to proxy).
constexpr int CHANNEL_P2P = 1;
// Player commands and player notifications.
constexpr int CHANNEL_PLAYER = 2;
// Is the service running: no payload, answered with the one byte 1.
constexpr int CHANNEL_QUERY_RUNNING = 3;
// Stop request: no payload, answered with the one byte 1, then the service quits.
constexpr int CHANNEL_STOP = 4;

// Time-out of every synchronous send of the proxy, in milliseconds: exactly 1000 hours. Every
// send of the service uses INFINITE instead.
constexpr DWORD SERVICE_CALL_TIMEOUT = 3600000000u;
static_assert(SERVICE_CALL_TIMEOUT == 0xD693A400u && SERVICE_CALL_TIMEOUT == 1000u * 3600u * 1000u);
static_assert(SERVICE_CALL_TIMEOUT < INFINITE);
