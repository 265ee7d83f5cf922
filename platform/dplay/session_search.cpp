// The searching side of the session search, on a socket of its own.
#include "platform/dplay/session_search.h"

#include <algorithm>
#include <random>

#include "platform/dplay/monotonic_clock.h"

namespace {

constexpr uint32_t REPEAT_MS = 300;

uint32_t ElapsedMs(uint32_t since) { return MonotonicMs() - since; }

void SendRequests(ENetSocket socket, const std::vector<ENetAddress>& targets, const std::vector<uint8_t>& request) {
    const ENetBuffer buffer{const_cast<uint8_t*>(request.data()), request.size()};
    for (const ENetAddress& target : targets) enet_socket_send(socket, &target, &buffer, 1);
}

}  // namespace

SearchEnd SearchSessions(const std::vector<ENetAddress>& targets, const GUID& application, uint32_t timeOutMs,
                         const std::function<bool(const FoundSession&)>& report, std::atomic<uint64_t>* dropped) {
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    if (socket == ENET_SOCKET_NULL) return SearchEnd::Failed;
    enet_socket_set_option(socket, ENET_SOCKOPT_BROADCAST, 1);
    enet_socket_set_option(socket, ENET_SOCKOPT_NONBLOCK, 1);
    ENetAddress any{ENET_HOST_ANY, 0};
    if (enet_socket_bind(socket, &any) < 0) {
        enet_socket_destroy(socket);
        return SearchEnd::Failed;
    }
    const uint32_t requestId = std::random_device{}();
    const std::vector<uint8_t> request = wire::Encode(wire::EnumRequest{application, requestId});
    const uint32_t start = MonotonicMs();
    uint32_t nextRequest = 0;
    std::vector<GUID> seen;
    SearchEnd end = SearchEnd::TimedOut;
    for (uint32_t elapsed; (elapsed = ElapsedMs(start)) < timeOutMs;) {
        if (elapsed >= nextRequest) {
            SendRequests(socket, targets, request);
            nextRequest = elapsed + REPEAT_MS;
        }
        enet_uint32 wait = ENET_SOCKET_WAIT_RECEIVE;
        if (enet_socket_wait(socket, &wait, std::min(timeOutMs - elapsed, nextRequest - elapsed)) < 0) break;
        if (!(wait & ENET_SOCKET_WAIT_RECEIVE)) continue;
        uint8_t bytes[wire::HEADER_SIZE + 1024];
        ENetBuffer buffer{bytes, sizeof(bytes)};
        FoundSession found;
        const int size = enet_socket_receive(socket, &found.host, &buffer, 1);
        if (size <= 0) continue;
        wire::Packet packet;
        if (!wire::Decode(bytes, static_cast<size_t>(size), &packet) || !std::holds_alternative<wire::EnumReply>(packet)) {
            ++*dropped;
            continue;
        }
        const auto& reply = std::get<wire::EnumReply>(packet);
        if (reply.requestId != requestId || !(reply.session.application == application)) continue;
        bool known = false;
        for (const GUID& g : seen) known = known || g == reply.session.instance;
        if (known) continue;
        seen.push_back(reply.session.instance);
        found.session = reply.session;
        if (!report(found)) {
            end = SearchEnd::Stopped;
            break;
        }
    }
    enet_socket_destroy(socket);
    return end;
}
