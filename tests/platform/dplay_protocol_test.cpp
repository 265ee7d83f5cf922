// The session protocol's packets, and a session host meeting malformed,
// truncated, oversized and out-of-place packets from the network.
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "platform/dplay/dplay.h"
#include "platform/dplay/wire_protocol.h"
#include "platform/win/platform.h"
#include "tests/support/dplay_services.h"
#include "tests/support/network_sessions.h"

namespace {

using Bytes = std::vector<uint8_t>;

const GUID APP = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};

std::vector<wire::Packet> OneOfEach() {
    wire::Session session{{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}}, APP, 0x44, 8, 2, "Room"};
    return {wire::EnumRequest{APP, 77},
            wire::EnumReply{77, session},
            wire::JoinRequest{APP, session.instance, 3},
            wire::JoinRefused{wire::JoinRefusal::Full},
            wire::JoinAccepted{4, 1, session},
            wire::MemberList{1, {{1, 0, 47624}, {2, 0x0100007f, 47625}}},
            wire::PlayerCreated{1, 0x20001, 2, "bob", "Bob the builder"},
            wire::PlayerRefused{0x30001},
            wire::PlayerDestroyed{0x20001},
            wire::UserMessage{0x20001, 0, {1, 2, 3, 0, 255}}};
}

TEST(WireProtocol, EveryPacketSurvivesTheRoundTripAndNoPrefixExtensionOrDamageDecodesToOtherBytes) {
    for (const wire::Packet& packet : OneOfEach()) {
        const Bytes bytes = wire::Encode(packet);
        wire::Packet decoded;
        ASSERT_TRUE(wire::Decode(bytes.data(), bytes.size(), &decoded)) << "type " << packet.index();
        EXPECT_EQ(decoded.index(), packet.index());
        EXPECT_EQ(wire::Encode(decoded), bytes) << "type " << packet.index();
        for (size_t n = 0; n < bytes.size(); ++n)
            EXPECT_FALSE(wire::Decode(bytes.data(), n, &decoded)) << "type " << packet.index() << " cut to " << n;
        Bytes longer = bytes;
        longer.push_back(0);
        EXPECT_FALSE(wire::Decode(longer.data(), longer.size(), &decoded)) << "type " << packet.index();
    }
    // Random damage: whatever decodes encodes back to the same bytes, so
    // nothing was read from outside the packet or invented.
    std::mt19937 random(12345);
    const std::vector<wire::Packet> packets = OneOfEach();
    for (int i = 0; i < 20000; ++i) {
        Bytes bytes = wire::Encode(packets[random() % packets.size()]);
        for (int flips = 1 + random() % 3; flips > 0; --flips) bytes[random() % bytes.size()] = random();
        if (random() % 4 == 0) bytes.resize(random() % (bytes.size() + 8));
        wire::Packet decoded;
        if (wire::Decode(bytes.data(), bytes.size(), &decoded)) { ASSERT_EQ(wire::Encode(decoded), bytes); }
    }
}

TEST(WireProtocol, HeadersAndFieldsOutsideTheProtocolAreRefused) {
    wire::Packet decoded;
    const Bytes good = wire::Encode(wire::PlayerCreated{1, 0x20001, 2, "bob", "bob"});
    auto refused = [&](size_t at, uint8_t value) {
        Bytes bad = good;
        bad[at] = value;
        return !wire::Decode(bad.data(), bad.size(), &decoded);
    };
    // The magic, the version, two types that do not exist, the reserved byte, the
    // body length, an announce other than 0 or 1, a short name length that runs
    // past the end, a zero byte inside a name.
    const std::pair<size_t, int> changes[] = {{0, 'X'}, {3, 2}, {4, 0}, {4, 11}, {5, 1}, {6, good[6] + 1},
                                              {wire::HEADER_SIZE, 2}, {wire::HEADER_SIZE + 9, 'b'}, {wire::HEADER_SIZE + 10, 0}};
    for (auto [at, value] : changes) EXPECT_TRUE(refused(at, static_cast<uint8_t>(value))) << "byte " << at;
    Bytes members = wire::Encode(wire::MemberList{1, {}});
    members.back() = wire::MAX_MEMBERS + 1;
    members.resize(members.size() + (wire::MAX_MEMBERS + 1) * 10);
    members[6] = static_cast<uint8_t>(members.size() - wire::HEADER_SIZE);
    members[7] = static_cast<uint8_t>((members.size() - wire::HEADER_SIZE) >> 8);
    EXPECT_FALSE(wire::Decode(members.data(), members.size(), &decoded));
}

// A host on loopback ports of the test's own.
class HostUnderAttack : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformOptions options;
        options.backend = "headless";
        options.dplayPort = TestSessionPort();
        std::string error;
        ASSERT_TRUE(PlatformOpen(options, &error)) << error;
        CoInitialize(nullptr);
        ASSERT_EQ(CoCreateInstance(CLSID_DirectPlay, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectPlay3A,
                                   reinterpret_cast<void**>(&host_)),
                  S_OK);
        ASSERT_EQ(host_->InitializeConnection(ServiceConnection(host_, "Local machine").data(), 0), DP_OK);
        DPSESSIONDESC2 session{};
        session.dwSize = sizeof(session);
        session.dwFlags = DPSESSION_KEEPALIVE | DPSESSION_MIGRATEHOST;
        session.guidApplication = APP;
        session.dwMaxPlayers = 4;
        session.lpszSessionNameA = const_cast<char*>("Target");
        ASSERT_EQ(host_->Open(&session, DPOPEN_CREATE), DP_OK);
        socket_ = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
        for (int i = 0; i < 32; ++i) {
            ENetAddress target{};
            enet_address_set_host_ip(&target, "127.0.0.1");
            target.port = static_cast<uint16_t>(options.dplayPort + i);
            targets_.push_back(target);
        }
    }
    void TearDown() override {
        if (socket_ != ENET_SOCKET_NULL) enet_socket_destroy(socket_);
        if (host_) host_->Release();
        CoUninitialize();
        PlatformClose();
    }

    // Sends a datagram to every session port; only the host's counts it.
    void Spray(const Bytes& bytes) {
        const ENetBuffer buffer{const_cast<uint8_t*>(bytes.data()), bytes.size()};
        for (const ENetAddress& target : targets_) enet_socket_send(socket_, &target, &buffer, 1);
    }

    // Waits until the host counted `count` dropped packets (or a second passed).
    uint64_t DroppedAfterwards(uint64_t count) {
        for (int i = 0; i < 100 && DirectPlayDroppedPackets(host_) < count; ++i) usleep(10000);
        return DirectPlayDroppedPackets(host_);
    }

    // Whether a fresh searcher in this process still finds the session.
    int SessionsFound() {
        IDirectPlay3A* searcher = nullptr;
        CoCreateInstance(CLSID_DirectPlay, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectPlay3A,
                         reinterpret_cast<void**>(&searcher));
        searcher->InitializeConnection(ServiceConnection(searcher, "Local machine").data(), 0);
        DPSESSIONDESC2 search{};
        search.dwSize = sizeof(search);
        search.guidApplication = APP;
        int found = 0;
        searcher->EnumSessions(
            &search, 300,
            [](const DPSESSIONDESC2* s, DWORD*, DWORD flags, void* context) -> BOOL {
                if (!(flags & DPESC_TIMEDOUT) && std::string(s->lpszSessionNameA) == "Target")
                    ++*static_cast<int*>(context);
                return !(flags & DPESC_TIMEDOUT);
            },
            &found, DPENUMSESSIONS_ALL);
        searcher->Release();
        return found;
    }

    IDirectPlay3A* host_ = nullptr;
    ENetSocket socket_ = ENET_SOCKET_NULL;
    std::vector<ENetAddress> targets_;
};

TEST_F(HostUnderAttack, MalformedDatagramsAndPacketsFromPeersThatNeverJoinedAreDroppedAndTheSessionGoesOn) {
    const Bytes request = wire::Encode(wire::EnumRequest{APP, 1});
    uint64_t expected = 0;
    for (size_t n = 3; n < request.size(); ++n, ++expected) Spray(Bytes(request.begin(), request.begin() + n));
    Bytes versioned = request;
    versioned[3] = 9;
    Spray(versioned);
    Bytes oversized = request;
    oversized.resize(60000, 0xAB);
    Spray(oversized);
    Spray(wire::Encode(wire::JoinRefused{wire::JoinRefusal::Full}));  // not a search packet
    expected += 3;
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i) {  // noise that is not ours: ENet's to refuse
        Bytes noise(1 + random() % 300);
        for (uint8_t& b : noise) b = random();
        if (noise.size() >= 3 && wire::HasMagic(noise.data(), noise.size())) noise[0] = 0;
        Spray(noise);
    }
    EXPECT_EQ(DroppedAfterwards(expected), expected);
    EXPECT_EQ(SessionsFound(), 1);
    // Packets from a peer that never joined.
    ENetHost* client = enet_host_create(nullptr, 1, 2, 0, 0);
    ASSERT_NE(client, nullptr);
    ENetPeer* peer = nullptr;
    for (const ENetAddress& target : targets_) {
        peer = enet_host_connect(client, &target, 2, 0);
        ENetEvent event;
        if (enet_host_service(client, &event, 300) > 0 && event.type == ENET_EVENT_TYPE_CONNECT) break;
        enet_peer_reset(peer);
        peer = nullptr;
    }
    ASSERT_NE(peer, nullptr) << "no session port answered";
    const std::vector<Bytes> hostile = {
        {1, 2, 3},
        wire::Encode(wire::UserMessage{0x10001, 0, {1, 2, 3}}),
        wire::Encode(wire::PlayerCreated{1, 0x50001, 5, "intruder", "intruder"}),
        wire::Encode(wire::JoinAccepted{9, 9, {}}),
        Bytes(wire::HEADER_SIZE + 70000, 'K'),
    };
    for (const Bytes& bytes : hostile)
        enet_peer_send(peer, 0, enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE));
    for (int i = 0; i < 20; ++i) {
        ENetEvent event;
        enet_host_service(client, &event, 10);
    }
    expected += hostile.size();
    EXPECT_EQ(DroppedAfterwards(expected), expected);
    enet_peer_disconnect_now(peer, 0);
    enet_host_destroy(client);
    EXPECT_EQ(SessionsFound(), 1);
    DPID player = 0;
    DPNAME name{sizeof(DPNAME), 0, const_cast<char*>("alice"), const_cast<char*>("alice")};
    EXPECT_EQ(host_->CreatePlayer(&player, &name, nullptr, nullptr, 0, 0), DP_OK);
}

}  // namespace
