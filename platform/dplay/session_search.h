// The session search: an EnumRequest datagram to every search target, then
// the answers of the hosts that heard it until the time-out.
#pragma once

#include <enet/enet.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/dplay/wire_protocol.h"

struct FoundSession {
    wire::Session session;
    ENetAddress host{};  // where its host answered from
};

enum class SearchEnd { TimedOut, Stopped, Failed };

// Reports each session of the application once, as its first answer arrives;
// the search stops early when report answers false. The request is repeated
// every few hundred milliseconds in case a datagram was lost. Malformed
// answers are dropped and counted.
SearchEnd SearchSessions(const std::vector<ENetAddress>& targets, const GUID& application, uint32_t timeOutMs,
                         const std::function<bool(const FoundSession&)>& report, std::atomic<uint64_t>* dropped);
