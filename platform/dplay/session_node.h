// This machine's part in an open session: an ENet host on one of the session
// ports, served by a network thread of its own.
//
// The session is a star around its host. Members connect to the host; every
// player, every message between machines and every change of membership
// passes through it. The host answers the session search, admits members
// while the session has room for another player, relays guaranteed messages
// in order on channel 0 and others on channel 1, and tells every member who
// the members are and where they listen.
//
// Keep-alive: with DPSESSION_KEEPALIVE the machines ping each other every
// 200 ms and drop a peer that has not answered for KEEPALIVE_TIMEOUT_MS; the
// players of a dropped member are destroyed and everyone is told.
// Host migration: with DPSESSION_MIGRATEHOST, when the host leaves or
// vanishes, the member that joined first becomes the host (it gets DPSYS_HOST),
// the others reconnect to it, and members that do not come back within
// REJOIN_WINDOW_MS are dropped. Without it the members get DPSYS_SESSIONLOST.
#pragma once

#include <enet/enet.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dplay/dplay.h"
#include "platform/dplay/inbox.h"
#include "platform/dplay/wire_protocol.h"

constexpr uint32_t KEEPALIVE_TIMEOUT_MS = 1200;
constexpr uint32_t KEEPALIVE_PING_MS = 200;
constexpr uint32_t REJOIN_WINDOW_MS = 3000;
constexpr uint32_t JOIN_WAIT_MS = 5000;
constexpr uint32_t LEAVE_WAIT_MS = 500;

// Where sessions listen: the first free port of a small range, on every
// interface or on the loopback interface only.
struct SessionPorts {
    uint16_t first = 0;
    int count = 0;
    bool loopbackOnly = false;
};

struct PlayerRecord {
    DPID id = 0;
    uint32_t owner = 0;  // member id of the machine that made it
    std::string shortName, longName;
};

class SessionNode {
public:
    // Opens a session with this machine as its host.
    static HRESULT Host(const SessionPorts& ports, const wire::Session& session, std::unique_ptr<SessionNode>* node);
    // Joins the session whose host answered the search from `host`.
    static HRESULT Join(const SessionPorts& ports, const wire::Session& session, const ENetAddress& host,
                        std::unique_ptr<SessionNode>* node);
    // Leaves the session: what was sent is delivered first (for at most
    // LEAVE_WAIT_MS), then the peers are told at once.
    ~SessionNode();

    HRESULT CreatePlayer(const std::string& shortName, const std::string& longName, DPID* player);
    HRESULT DestroyPlayer(DPID player);
    HRESULT Send(DPID from, DPID to, bool guaranteed, const void* data, size_t size);
    std::vector<PlayerRecord> Players() const;
    bool IsLocalPlayer(DPID player) const;
    Inbox& inbox() { return inbox_; }
    uint64_t DroppedPackets() const { return dropped_.load(); }
    bool IsHost() const;
    uint16_t Port() const { return port_; }

private:
    enum class Role { Connecting, Member, Migrating, Host, Refused, Lost };
    struct Member {
        ENetPeer* peer = nullptr;
        uint32_t ipv4 = 0;  // network order
        uint16_t port = 0;
    };

    SessionNode() = default;
    bool Bind(const SessionPorts& ports);
    void Start();
    void Post(std::function<void()> command);
    void Run();
    void ServeOnce();
    // Whether a peer still waits for messages sent to it, or for their
    // acknowledgement.
    bool HasUndelivered() const;
    // Serves the host until every peer has what was sent to it, or
    // LEAVE_WAIT_MS passed; what arrives meanwhile is ignored.
    void DeliverQueuedBeforeLeaving();
    static int Intercept(ENetHost* host, ENetEvent* event);
    void AnswerSearch(const ENetAddress& from, const uint8_t* bytes, size_t size);

    void OnConnect(ENetPeer* peer);
    void OnReceive(ENetPeer* peer, const ENetPacket* packet, bool guaranteed);
    void OnDisconnect(ENetPeer* peer);
    void OnHostPacket(const wire::Packet& packet);
    void OnMemberPacket(uint32_t member, const wire::Packet& packet, bool guaranteed);
    void OnJoinRequest(ENetPeer* peer, const wire::JoinRequest& request);
    void OnTimers();

    void Refuse(ENetPeer* peer, wire::JoinRefusal reason);
    void SendTo(ENetPeer* peer, const wire::Packet& packet, bool guaranteed);
    void Broadcast(const wire::Packet& packet, uint32_t except);
    void BroadcastMembers();
    void SetTimeouts(ENetPeer* peer);
    void AddPlayer(const PlayerRecord& player, bool announce);
    void RemovePlayer(DPID player);
    void DropMember(uint32_t member);
    void Route(uint32_t origin, const wire::UserMessage& message, bool guaranteed);
    void DeliverLocally(DPID from, DPID to, const std::vector<uint8_t>& data);
    void LoseHost();
    void StartMigration();
    void BecomeHost();
    void ConnectTo(uint32_t ipv4, uint16_t port);
    // What this machine sends on to the host: done here when it is the host,
    // sent when the host is reachable, held while a new host is sought.
    void ToHost(const wire::Packet& packet, bool guaranteed);
    void ForwardHeld();
    void ActAsHost(const wire::Packet& packet, bool guaranteed);
    wire::Session Describe() const;
    // Whether the host may make one more player: room left and new players allowed.
    bool AdmitsAnotherPlayer() const;
    uint32_t NowMs() const;

    ENetHost* host_ = nullptr;
    uint16_t port_ = 0;
    int wakeFd_ = -1;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<uint64_t> dropped_{0};
    Inbox inbox_;

    std::mutex commandMutex_;
    std::vector<std::function<void()>> commands_;

    // Everything below is guarded by mutex_; ENet is only touched by the thread.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Role role_ = Role::Connecting;
    wire::JoinRefusal refusal_ = wire::JoinRefusal::Closed;
    wire::Session session_;
    uint32_t self_ = 0;
    uint32_t hostId_ = 0;
    uint32_t nextMemberId_ = 1;
    uint32_t nextPlayerSerial_ = 1;
    std::map<uint32_t, Member> members_;
    std::map<DPID, PlayerRecord> players_;
    std::map<DPID, int> pendingPlayers_;  // 0 waiting, 1 made, -1 refused
    ENetPeer* hostPeer_ = nullptr;        // a member's link to the host (or to the host it is trying)
    uint32_t candidate_ = 0;              // the member tried as the new host
    uint32_t candidateDeadline_ = 0;
    uint32_t retryAt_ = 0;
    uint32_t rejoinDeadline_ = 0;
    struct HeldPacket {
        wire::Packet packet;
        bool guaranteed = false;
    };
    std::vector<HeldPacket> held_;  // sent while no host was reachable, in order
};
