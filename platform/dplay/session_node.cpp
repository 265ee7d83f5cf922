// The open session: the network thread, the host's and the members' sides of
// the protocol, keep-alive and host migration.
#include "platform/dplay/session_node.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/dplay/monotonic_clock.h"

namespace {

// The node whose thread is serving its ENet host (for the raw-datagram hook,
// which ENet calls without a context).
thread_local SessionNode* tServing = nullptr;

constexpr uint8_t GUARANTEED_CHANNEL = 0;
constexpr uint8_t PLAIN_CHANNEL = 1;
constexpr size_t MAX_PEERS = wire::MAX_MEMBERS;

uint32_t MemberOf(const ENetPeer* peer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(peer->data)); }
void SetMemberOf(ENetPeer* peer, uint32_t member) { peer->data = reinterpret_cast<void*>(uintptr_t{member}); }

bool PlayerFull(const wire::Session& session, size_t players) {
    return session.maxPlayers != 0 && players >= session.maxPlayers;
}

}  // namespace

uint32_t SessionNode::NowMs() const { return MonotonicMs(); }

bool SessionNode::Bind(const SessionPorts& ports) {
    for (int i = 0; i < ports.count; ++i) {
        ENetAddress address{};
        address.host = ENET_HOST_ANY;
        if (ports.loopbackOnly) enet_address_set_host_ip(&address, "127.0.0.1");
        address.port = static_cast<uint16_t>(ports.first + i);
        host_ = enet_host_create(&address, MAX_PEERS, 2, 0, 0);
        if (host_) {
            port_ = address.port;
            host_->intercept = Intercept;
            wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
            return wakeFd_ >= 0;
        }
    }
    return false;
}

void SessionNode::Start() {
    thread_ = std::thread([this] { Run(); });
}

HRESULT SessionNode::Host(const SessionPorts& ports, const wire::Session& session, std::unique_ptr<SessionNode>* node) {
    std::unique_ptr<SessionNode> n(new SessionNode);
    if (!n->Bind(ports)) return DPERR_CANTCREATESESSION;
    n->session_ = session;
    n->self_ = n->hostId_ = 1;
    n->nextMemberId_ = 2;
    n->members_[1] = Member{};
    n->role_ = Role::Host;
    n->Start();
    *node = std::move(n);
    return DP_OK;
}

HRESULT SessionNode::Join(const SessionPorts& ports, const wire::Session& session, const ENetAddress& host,
                          std::unique_ptr<SessionNode>* node) {
    std::unique_ptr<SessionNode> n(new SessionNode);
    if (!n->Bind(ports)) return DPERR_UNAVAILABLE;
    n->session_ = session;
    n->role_ = Role::Connecting;
    n->Start();
    n->Post([p = n.get(), host] { p->ConnectTo(host.host, host.port); });
    HRESULT result = DP_OK;
    {
        std::unique_lock lock(n->mutex_);
        const bool answered = n->changed_.wait_for(lock, std::chrono::milliseconds(JOIN_WAIT_MS),
                                                   [&] { return n->role_ != Role::Connecting; });
        if (!answered) result = DPERR_TIMEOUT;
        else if (n->role_ == Role::Refused)
            result = n->refusal_ == wire::JoinRefusal::Full ? DPERR_NONEWPLAYERS : DPERR_NOSESSIONS;
        else if (n->role_ != Role::Member) result = DPERR_NOCONNECTION;
    }
    if (result == DP_OK) *node = std::move(n);
    return result;
}

SessionNode::~SessionNode() {
    if (thread_.joinable()) {
        Post([this] {
            DeliverQueuedBeforeLeaving();
            for (size_t i = 0; i < host_->peerCount; ++i)
                if (host_->peers[i].state != ENET_PEER_STATE_DISCONNECTED) enet_peer_disconnect_now(&host_->peers[i], 0);
        });
        stop_ = true;
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(wakeFd_, &one, sizeof(one));
        thread_.join();
    }
    if (host_) enet_host_destroy(host_);
    if (wakeFd_ >= 0) close(wakeFd_);
}

bool SessionNode::HasUndelivered() const {
    for (size_t i = 0; i < host_->peerCount; ++i) {
        ENetPeer& peer = host_->peers[i];
        if (peer.state != ENET_PEER_STATE_CONNECTED) continue;
        if (!enet_list_empty(&peer.outgoingCommands) || !enet_list_empty(&peer.sentReliableCommands)) return true;
    }
    return false;
}

void SessionNode::DeliverQueuedBeforeLeaving() {
    const uint32_t start = NowMs();
    while (HasUndelivered() && NowMs() - start < LEAVE_WAIT_MS) {
        ENetEvent event;
        if (enet_host_service(host_, &event, 5) > 0 && event.type == ENET_EVENT_TYPE_RECEIVE)
            enet_packet_destroy(event.packet);
    }
}

void SessionNode::Post(std::function<void()> command) {
    {
        std::lock_guard lock(commandMutex_);
        commands_.push_back(std::move(command));
    }
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(wakeFd_, &one, sizeof(one));
}

void SessionNode::Run() {
    tServing = this;
    bool last = false;
    while (!last) {
        last = stop_.load();
        pollfd fds[2] = {{host_->socket, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (!last) poll(fds, 2, 10);
        uint64_t wakes = 0;
        [[maybe_unused]] ssize_t read_ = read(wakeFd_, &wakes, sizeof(wakes));
        std::lock_guard lock(mutex_);
        ServeOnce();
    }
    tServing = nullptr;
}

void SessionNode::ServeOnce() {
    std::vector<std::function<void()>> commands;
    {
        std::lock_guard lock(commandMutex_);
        commands.swap(commands_);
    }
    for (auto& command : commands) command();
    ENetEvent event;
    int served;
    while ((served = enet_host_service(host_, &event, 0)) > 0) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT: OnConnect(event.peer); break;
            case ENET_EVENT_TYPE_RECEIVE:
                OnReceive(event.peer, event.packet, event.channelID == GUARANTEED_CHANNEL);
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT: OnDisconnect(event.peer); break;
            case ENET_EVENT_TYPE_NONE: break;
        }
    }
    // A datagram too large for any packet of ours or ENet's is refused by the socket.
    if (served < 0) ++dropped_;
    OnTimers();
    enet_host_flush(host_);
    changed_.notify_all();
}

// Datagrams that start with the protocol's magic bytes are the session
// search's; ENet's own packets never do (their first two bytes would name a
// peer slot beyond the 64 a host has).
int SessionNode::Intercept(ENetHost* host, ENetEvent*) {
    if (!tServing || !wire::HasMagic(host->receivedData, host->receivedDataLength)) return 0;
    tServing->AnswerSearch(host->receivedAddress, host->receivedData, host->receivedDataLength);
    return 1;
}

void SessionNode::AnswerSearch(const ENetAddress& from, const uint8_t* bytes, size_t size) {
    wire::Packet packet;
    if (!wire::Decode(bytes, size, &packet) || !std::holds_alternative<wire::EnumRequest>(packet)) {
        ++dropped_;
        return;
    }
    const auto& request = std::get<wire::EnumRequest>(packet);
    if (role_ != Role::Host || !(request.application == session_.application)) return;
    const std::vector<uint8_t> reply = wire::Encode(wire::EnumReply{request.requestId, Describe()});
    const ENetBuffer buffer{const_cast<uint8_t*>(reply.data()), reply.size()};
    enet_socket_send(host_->socket, &from, &buffer, 1);
}

bool SessionNode::AdmitsAnotherPlayer() const {
    return !PlayerFull(session_, players_.size()) && !(session_.flags & DPSESSION_NEWPLAYERSDISABLED);
}

wire::Session SessionNode::Describe() const {
    wire::Session s = session_;
    s.currentPlayers = static_cast<uint32_t>(players_.size());
    return s;
}

void SessionNode::SetTimeouts(ENetPeer* peer) {
    if (session_.flags & DPSESSION_KEEPALIVE) {
        enet_peer_ping_interval(peer, KEEPALIVE_PING_MS);
        enet_peer_timeout(peer, 0, KEEPALIVE_TIMEOUT_MS / 2, KEEPALIVE_TIMEOUT_MS);
    }
}

void SessionNode::ConnectTo(uint32_t ipv4, uint16_t port) {
    ENetAddress address{ipv4, port};
    hostPeer_ = enet_host_connect(host_, &address, 2, 0);
    if (hostPeer_) {
        SetMemberOf(hostPeer_, candidate_);
        SetTimeouts(hostPeer_);
    }
}

void SessionNode::SendTo(ENetPeer* peer, const wire::Packet& packet, bool guaranteed) {
    if (!peer || peer->state != ENET_PEER_STATE_CONNECTED) return;
    const std::vector<uint8_t> bytes = wire::Encode(packet);
    ENetPacket* p = enet_packet_create(bytes.data(), bytes.size(), guaranteed ? ENET_PACKET_FLAG_RELIABLE : 0);
    if (p && enet_peer_send(peer, guaranteed ? GUARANTEED_CHANNEL : PLAIN_CHANNEL, p) != 0) enet_packet_destroy(p);
}

void SessionNode::Broadcast(const wire::Packet& packet, uint32_t except) {
    for (auto& [id, member] : members_)
        if (id != self_ && id != except) SendTo(member.peer, packet, true);
}

void SessionNode::BroadcastMembers() {
    wire::MemberList list{hostId_, {}};
    for (const auto& [id, member] : members_) list.members.push_back({id, id == self_ ? 0 : member.ipv4, member.port});
    Broadcast(list, 0);
}

void SessionNode::OnConnect(ENetPeer* peer) {
    SetTimeouts(peer);
    if (peer != hostPeer_) {
        SetMemberOf(peer, 0);  // a newcomer: known once its join request is accepted
        return;
    }
    SendTo(peer, wire::JoinRequest{session_.application, session_.instance, self_}, true);
}

void SessionNode::OnReceive(ENetPeer* peer, const ENetPacket* enetPacket, bool guaranteed) {
    wire::Packet packet;
    if (!wire::Decode(enetPacket->data, enetPacket->dataLength, &packet)) {
        ++dropped_;
        return;
    }
    if (const auto* join = std::get_if<wire::JoinRequest>(&packet)) {
        if (peer == hostPeer_ || MemberOf(peer) != 0) ++dropped_;
        else OnJoinRequest(peer, *join);
        return;
    }
    if (peer == hostPeer_) return OnHostPacket(packet);
    const uint32_t member = MemberOf(peer);
    if (role_ == Role::Host && member != 0 && members_.count(member) && members_[member].peer == peer)
        return OnMemberPacket(member, packet, guaranteed);
    ++dropped_;
}

void SessionNode::Refuse(ENetPeer* peer, wire::JoinRefusal reason) {
    SendTo(peer, wire::JoinRefused{reason}, true);
    enet_peer_disconnect_later(peer, 0);
}

void SessionNode::OnJoinRequest(ENetPeer* peer, const wire::JoinRequest& request) {
    if (!(request.application == session_.application) || !(request.instance == session_.instance))
        return Refuse(peer, wire::JoinRefusal::WrongSession);
    // A member that lost the host asks the one that joined first: that one
    // takes over even before it noticed the loss itself.
    if (role_ == Role::Member && request.memberId != 0 && (session_.flags & DPSESSION_MIGRATEHOST)) {
        uint32_t first = 0;
        for (const auto& entry : members_)
            if (entry.first != hostId_) {
                first = entry.first;
                break;
            }
        if (first == self_) {
            if (hostPeer_) enet_peer_reset(hostPeer_);
            hostPeer_ = nullptr;
            LoseHost();
        }
    }
    if (role_ != Role::Host) return Refuse(peer, wire::JoinRefusal::NotHost);
    uint32_t id = request.memberId;
    if (id == 0) {
        if (PlayerFull(session_, players_.size()) ||
            (session_.flags & (DPSESSION_JOINDISABLED | DPSESSION_NEWPLAYERSDISABLED)) ||
            members_.size() >= MAX_PEERS)
            return Refuse(peer, wire::JoinRefusal::Full);
        id = nextMemberId_++;
    } else if (!members_.count(id) || members_[id].peer || id == self_) {
        return Refuse(peer, wire::JoinRefusal::WrongSession);
    }
    members_[id] = Member{peer, peer->address.host, peer->address.port};
    SetMemberOf(peer, id);
    SendTo(peer, wire::JoinAccepted{id, self_, Describe()}, true);
    for (const auto& [playerId, player] : players_)
        SendTo(peer, wire::PlayerCreated{0, playerId, player.owner, player.shortName, player.longName}, true);
    BroadcastMembers();
}

void SessionNode::OnHostPacket(const wire::Packet& packet) {
    if (const auto* accepted = std::get_if<wire::JoinAccepted>(&packet)) {
        if (role_ != Role::Connecting && role_ != Role::Migrating) return void(++dropped_);
        self_ = accepted->memberId;
        hostId_ = accepted->hostMemberId;
        if (role_ == Role::Connecting) session_ = accepted->session;
        SetMemberOf(hostPeer_, hostId_);
        role_ = Role::Member;
        ForwardHeld();
    } else if (const auto* refused = std::get_if<wire::JoinRefused>(&packet)) {
        if (role_ == Role::Migrating) {
            // The candidate has not noticed the loss yet: ask it again shortly.
            enet_peer_reset(hostPeer_);
            hostPeer_ = nullptr;
            retryAt_ = NowMs() + 200;
        } else if (role_ == Role::Connecting) {
            refusal_ = refused->reason;
            role_ = Role::Refused;
        }
    } else if (role_ != Role::Member) {
        ++dropped_;
    } else if (const auto* list = std::get_if<wire::MemberList>(&packet)) {
        members_.clear();
        for (const wire::MemberEntry& e : list->members)
            members_[e.id] = Member{nullptr, e.ipv4 ? e.ipv4 : hostPeer_->address.host, e.port};
        hostId_ = list->hostMemberId;
    } else if (const auto* created = std::get_if<wire::PlayerCreated>(&packet)) {
        auto pending = pendingPlayers_.find(created->id);
        if (pending != pendingPlayers_.end()) pending->second = 1;
        AddPlayer({created->id, created->owner, created->shortName, created->longName},
                  created->announce && pending == pendingPlayers_.end());
    } else if (const auto* refusedPlayer = std::get_if<wire::PlayerRefused>(&packet)) {
        auto pending = pendingPlayers_.find(refusedPlayer->id);
        if (pending != pendingPlayers_.end()) pending->second = -1;
    } else if (const auto* destroyed = std::get_if<wire::PlayerDestroyed>(&packet)) {
        RemovePlayer(destroyed->id);
    } else if (const auto* message = std::get_if<wire::UserMessage>(&packet)) {
        DeliverLocally(message->from, message->to, message->data);
    } else {
        ++dropped_;
    }
}

void SessionNode::OnMemberPacket(uint32_t member, const wire::Packet& packet, bool guaranteed) {
    if (const auto* created = std::get_if<wire::PlayerCreated>(&packet)) {
        if (created->owner != member || created->id >> 16 != member || players_.count(created->id))
            return void(++dropped_);
        if (!AdmitsAnotherPlayer())
            return SendTo(members_[member].peer, wire::PlayerRefused{created->id}, true);
        AddPlayer({created->id, member, created->shortName, created->longName}, true);
        wire::PlayerCreated announced = *created;
        announced.announce = 1;
        Broadcast(announced, 0);
    } else if (const auto* destroyed = std::get_if<wire::PlayerDestroyed>(&packet)) {
        auto it = players_.find(destroyed->id);
        if (it == players_.end() || it->second.owner != member) return void(++dropped_);
        RemovePlayer(destroyed->id);
        Broadcast(*destroyed, member);
    } else if (const auto* message = std::get_if<wire::UserMessage>(&packet)) {
        auto it = players_.find(message->from);
        if (it == players_.end() || it->second.owner != member) return void(++dropped_);
        Route(member, *message, guaranteed);
    } else {
        ++dropped_;
    }
}

void SessionNode::AddPlayer(const PlayerRecord& player, bool announce) {
    players_[player.id] = player;
    if (!announce) return;
    InboxMessage m;
    m.systemType = DPSYS_CREATEPLAYERORGROUP;
    m.player = player.id;
    m.currentPlayers = static_cast<DWORD>(players_.size());
    m.shortName = player.shortName;
    m.longName = player.longName;
    inbox_.Push(std::move(m));
}

void SessionNode::RemovePlayer(DPID id) {
    auto it = players_.find(id);
    if (it == players_.end()) return;
    InboxMessage m;
    m.systemType = DPSYS_DESTROYPLAYERORGROUP;
    m.player = id;
    m.shortName = it->second.shortName;
    m.longName = it->second.longName;
    players_.erase(it);
    inbox_.Push(std::move(m));
}

void SessionNode::DeliverLocally(DPID from, DPID to, const std::vector<uint8_t>& data) {
    for (const auto& [id, player] : players_) {
        if (player.owner != self_ || id == from) continue;
        if (to != DPID_ALLPLAYERS && to != id) continue;
        InboxMessage m;
        m.from = from;
        m.to = id;
        m.data = data;
        inbox_.Push(std::move(m));
    }
}

void SessionNode::Route(uint32_t origin, const wire::UserMessage& message, bool guaranteed) {
    // The sender's own machine has delivered to its players already.
    if (message.to == DPID_ALLPLAYERS) {
        if (origin != self_) DeliverLocally(message.from, message.to, message.data);
        for (auto& [id, member] : members_)
            if (id != self_ && id != origin) SendTo(member.peer, message, guaranteed);
        return;
    }
    auto it = players_.find(message.to);
    if (it == players_.end()) return;
    if (it->second.owner == self_) DeliverLocally(message.from, message.to, message.data);
    else if (it->second.owner != origin) SendTo(members_[it->second.owner].peer, message, guaranteed);
}

void SessionNode::DropMember(uint32_t member) {
    std::vector<DPID> gone;
    for (const auto& [id, player] : players_)
        if (player.owner == member) gone.push_back(id);
    for (DPID id : gone) {
        RemovePlayer(id);
        if (role_ == Role::Host) Broadcast(wire::PlayerDestroyed{id}, member);
    }
    members_.erase(member);
    if (role_ == Role::Host) BroadcastMembers();
}

void SessionNode::OnDisconnect(ENetPeer* peer) {
    const uint32_t member = MemberOf(peer);
    SetMemberOf(peer, 0);
    if (peer == hostPeer_) {
        hostPeer_ = nullptr;
        if (role_ == Role::Connecting) {
            role_ = Role::Refused;
            refusal_ = wire::JoinRefusal::Closed;
        } else if (role_ == Role::Migrating) {
            members_.erase(candidate_);  // the candidate is gone too: try the next one
            StartMigration();
        } else if (role_ == Role::Member) {
            LoseHost();
        }
        return;
    }
    if (role_ == Role::Host && member != 0 && members_.count(member) && members_[member].peer == peer)
        DropMember(member);
}

void SessionNode::LoseHost() {
    if (!(session_.flags & DPSESSION_MIGRATEHOST)) {
        role_ = Role::Lost;
        held_.clear();
        InboxMessage m;
        m.systemType = DPSYS_SESSIONLOST;
        inbox_.Push(std::move(m));
        return;
    }
    DropMember(hostId_);
    StartMigration();
}

void SessionNode::StartMigration() {
    // Members are kept in order of joining: the first one left takes over.
    const auto first = members_.begin();
    if (first == members_.end() || first->first == self_) return BecomeHost();
    role_ = Role::Migrating;
    candidate_ = first->first;
    candidateDeadline_ = NowMs() + KEEPALIVE_TIMEOUT_MS * 2;
    retryAt_ = 0;
    ConnectTo(first->second.ipv4, first->second.port);
}

void SessionNode::BecomeHost() {
    role_ = Role::Host;
    hostId_ = self_;
    uint32_t highest = self_;
    for (auto& [id, member] : members_) {
        member.peer = nullptr;
        highest = std::max(highest, id);
    }
    members_[self_] = Member{};
    nextMemberId_ = highest + 1;
    rejoinDeadline_ = members_.size() > 1 ? NowMs() + REJOIN_WINDOW_MS : 0;
    InboxMessage m;
    m.systemType = DPSYS_HOST;
    inbox_.Push(std::move(m));
    ForwardHeld();
}

void SessionNode::ToHost(const wire::Packet& packet, bool guaranteed) {
    if (role_ == Role::Host) return ActAsHost(packet, guaranteed);
    if (role_ == Role::Member && hostPeer_ && hostPeer_->state == ENET_PEER_STATE_CONNECTED)
        return SendTo(hostPeer_, packet, guaranteed);
    // Between losing the host and reaching the new one, what this machine
    // sends waits for whichever machine takes over.
    if (role_ == Role::Migrating || role_ == Role::Member) held_.push_back({packet, guaranteed});
}

void SessionNode::ForwardHeld() {
    std::vector<HeldPacket> held;
    held.swap(held_);
    for (const HeldPacket& h : held) ToHost(h.packet, h.guaranteed);
}

void SessionNode::ActAsHost(const wire::Packet& packet, bool guaranteed) {
    if (const auto* message = std::get_if<wire::UserMessage>(&packet)) {
        Route(self_, *message, guaranteed);
    } else if (const auto* destroyed = std::get_if<wire::PlayerDestroyed>(&packet)) {
        Broadcast(*destroyed, 0);
    } else if (const auto* created = std::get_if<wire::PlayerCreated>(&packet)) {
        // A player asked for while the old host was gone: this machine decides now.
        const bool refused = !AdmitsAnotherPlayer();
        if (!refused) {
            players_[created->id] = {created->id, self_, created->shortName, created->longName};
            Broadcast(*created, 0);
        }
        auto pending = pendingPlayers_.find(created->id);
        if (pending != pendingPlayers_.end()) pending->second = refused ? -1 : 1;
    }
}

void SessionNode::OnTimers() {
    const uint32_t now = NowMs();
    if (role_ == Role::Host && rejoinDeadline_ && static_cast<int32_t>(now - rejoinDeadline_) >= 0) {
        rejoinDeadline_ = 0;
        std::vector<uint32_t> missing;
        for (const auto& [id, member] : members_)
            if (id != self_ && !member.peer) missing.push_back(id);
        for (uint32_t id : missing) DropMember(id);
    }
    if (role_ != Role::Migrating) return;
    if (static_cast<int32_t>(now - candidateDeadline_) >= 0) {
        if (hostPeer_) enet_peer_reset(hostPeer_);
        hostPeer_ = nullptr;
        members_.erase(candidate_);
        StartMigration();
    } else if (retryAt_ && static_cast<int32_t>(now - retryAt_) >= 0) {
        retryAt_ = 0;
        if (hostPeer_) enet_peer_reset(hostPeer_);
        hostPeer_ = nullptr;
        ConnectTo(members_[candidate_].ipv4, members_[candidate_].port);
    }
}

HRESULT SessionNode::CreatePlayer(const std::string& shortName, const std::string& longName, DPID* player) {
    std::unique_lock lock(mutex_);
    if (role_ == Role::Lost) return DPERR_SESSIONLOST;
    if (nextPlayerSerial_ > 0xFFFF) return DPERR_CANTCREATEPLAYER;
    const DPID id = self_ << 16 | nextPlayerSerial_++;
    const PlayerRecord record{id, self_, shortName.substr(0, wire::MAX_NAME), longName.substr(0, wire::MAX_NAME)};
    const wire::PlayerCreated request{1, id, self_, record.shortName, record.longName};
    if (role_ == Role::Host) {
        if (!AdmitsAnotherPlayer())
            return DPERR_CANTCREATEPLAYER;
        players_[id] = record;
        Post([this, request] { Broadcast(request, 0); });
        *player = id;
        return DP_OK;
    }
    pendingPlayers_[id] = 0;
    Post([this, request] { ToHost(request, true); });
    changed_.wait_for(lock, std::chrono::milliseconds(JOIN_WAIT_MS), [&] { return pendingPlayers_[id] != 0; });
    const int made = pendingPlayers_[id];
    pendingPlayers_.erase(id);
    if (made != 1) return DPERR_CANTCREATEPLAYER;
    *player = id;
    return DP_OK;
}

HRESULT SessionNode::DestroyPlayer(DPID player) {
    std::lock_guard lock(mutex_);
    auto it = players_.find(player);
    if (it == players_.end() || it->second.owner != self_) return DPERR_INVALIDPLAYER;
    players_.erase(it);
    Post([this, player] { ToHost(wire::PlayerDestroyed{player}, true); });
    return DP_OK;
}

HRESULT SessionNode::Send(DPID from, DPID to, bool guaranteed, const void* data, size_t size) {
    if (size > wire::MAX_USER_DATA) return DPERR_SENDTOOBIG;
    std::lock_guard lock(mutex_);
    if (role_ == Role::Lost) return DPERR_SESSIONLOST;
    auto sender = players_.find(from);
    if (sender == players_.end() || sender->second.owner != self_) return DPERR_INVALIDPLAYER;
    if (to != DPID_ALLPLAYERS && !players_.count(to)) return DPERR_INVALIDPLAYER;
    wire::UserMessage message{from, to, {}};
    if (size) message.data.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    DeliverLocally(from, to, message.data);
    if (to != DPID_ALLPLAYERS && players_[to].owner == self_) return DP_OK;
    Post([this, message = std::move(message), guaranteed] { ToHost(message, guaranteed); });
    return DP_OK;
}

std::vector<PlayerRecord> SessionNode::Players() const {
    std::lock_guard lock(mutex_);
    std::vector<PlayerRecord> players;
    for (const auto& entry : players_) players.push_back(entry.second);
    return players;
}

bool SessionNode::IsLocalPlayer(DPID player) const {
    std::lock_guard lock(mutex_);
    auto it = players_.find(player);
    return it != players_.end() && it->second.owner == self_;
}

bool SessionNode::IsHost() const {
    std::lock_guard lock(mutex_);
    return role_ == Role::Host;
}
