// IDirectPlay3A: a chosen connection service, the sessions its last search
// found, and the open session.
#include "platform/dplay/direct_play.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <random>

#include "platform/dplay/connection_services.h"
#include "platform/dplay/session_node.h"
#include "platform/dplay/session_search.h"

namespace {

constexpr uint32_t DEFAULT_SEARCH_TIMEOUT_MS = 1000;

GUID NewSessionGuid() {
    std::random_device random;
    GUID g;
    g.data1 = random();
    g.data2 = static_cast<uint16_t>(random());
    g.data3 = static_cast<uint16_t>(random());
    for (uint8_t& b : g.data4) b = static_cast<uint8_t>(random());
    return g;
}

bool SessionHasRoom(const wire::Session& s) {
    if (s.flags & (DPSESSION_JOINDISABLED | DPSESSION_NEWPLAYERSDISABLED)) return false;
    return s.maxPlayers == 0 || s.currentPlayers < s.maxPlayers;
}

DPSESSIONDESC2 DescriptionOf(const FoundSession& found) {
    DPSESSIONDESC2 d{};
    d.dwSize = sizeof(DPSESSIONDESC2);
    d.dwFlags = found.session.flags;
    d.guidInstance = found.session.instance;
    d.guidApplication = found.session.application;
    d.dwMaxPlayers = found.session.maxPlayers;
    d.dwCurrentPlayers = found.session.currentPlayers;
    d.lpszSessionNameA = const_cast<char*>(found.session.name.c_str());
    return d;
}

class DirectPlay final : public IDirectPlay3A {
public:
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT Close() override {
        if (!node_) return DP_OK;
        droppedBefore_ += node_->DroppedPackets();
        node_.reset();
        return DP_OK;
    }

    HRESULT CreatePlayer(DPID* player, DPNAME* name, HANDLE event, void* data, DWORD dataSize, DWORD flags) override {
        if (!player || (name && name->dwSize != sizeof(DPNAME))) return DPERR_INVALIDPARAMS;
        if (flags) return DPERR_INVALIDFLAGS;
        if (event || data || dataSize) return DPERR_UNAVAILABLE;
        if (!node_) return DPERR_NOCONNECTION;
        const std::string shortName = name && name->lpszShortNameA ? name->lpszShortNameA : "";
        const std::string longName = name && name->lpszLongNameA ? name->lpszLongNameA : "";
        return node_->CreatePlayer(shortName, longName, player);
    }

    HRESULT DestroyPlayer(DPID player) override {
        if (!node_) return DPERR_NOCONNECTION;
        return node_->DestroyPlayer(player);
    }

    HRESULT EnumConnections(const GUID*, LPDPENUMCONNECTIONSCALLBACK callback, void* context, DWORD flags) override {
        if (!callback) return DPERR_INVALIDPARAMS;
        if (flags == 0 || (flags & DPCONNECTION_DIRECTPLAY)) EnumerateServices(callback, context);
        return DP_OK;
    }

    HRESULT EnumPlayers(GUID* instance, LPDPENUMPLAYERSCALLBACK2 callback, void* context, DWORD flags) override {
        if (!callback) return DPERR_INVALIDPARAMS;
        if (instance) return DPERR_UNAVAILABLE;  // only the open session's players are known
        if (flags & ~DPENUMPLAYERS_LOCAL) return DPERR_INVALIDFLAGS;
        if (!node_) return DPERR_NOSESSIONS;
        for (PlayerRecord& p : node_->Players()) {
            if ((flags & DPENUMPLAYERS_LOCAL) && !node_->IsLocalPlayer(p.id)) continue;
            const DPNAME name{sizeof(DPNAME), 0, p.shortName.data(), p.longName.data()};
            if (!callback(p.id, DPPLAYERTYPE_PLAYER, &name, 0, context)) break;
        }
        return DP_OK;
    }

    HRESULT EnumSessions(DPSESSIONDESC2* session, DWORD timeOut, LPDPENUMSESSIONSCALLBACK2 callback, void* context,
                         DWORD flags) override {
        if (!session || session->dwSize != sizeof(DPSESSIONDESC2) || !callback) return DPERR_INVALIDPARAMS;
        if (flags & ~(DPENUMSESSIONS_AVAILABLE | DPENUMSESSIONS_ALL)) return DPERR_UNAVAILABLE;
        if (service_ == ConnectionService::None) return DPERR_UNINITIALIZED;
        found_.clear();
        const bool onlyAvailable = !(flags & DPENUMSESSIONS_ALL);
        const GUID application = session->guidApplication;
        for (DWORD wait = timeOut ? timeOut : DEFAULT_SEARCH_TIMEOUT_MS;;) {
            const SearchEnd end = SearchSessions(
                targets_, application, wait,
                [&](const FoundSession& found) {
                    if (onlyAvailable && !SessionHasRoom(found.session)) return true;
                    found_.push_back(found);
                    const DPSESSIONDESC2 description = DescriptionOf(found_.back());
                    DWORD callbackWait = wait;
                    return callback(&description, &callbackWait, 0, context) != FALSE;
                },
                &searchDropped_);
            if (end == SearchEnd::Failed) return DPERR_NOCONNECTION;
            if (end == SearchEnd::Stopped) return DP_OK;
            DWORD callbackWait = wait;
            if (!callback(nullptr, &callbackWait, DPESC_TIMEDOUT, context)) return DP_OK;
            wait = callbackWait ? callbackWait : DEFAULT_SEARCH_TIMEOUT_MS;
        }
    }

    HRESULT GetMessageCount(DPID player, DWORD* count) override {
        if (!count) return DPERR_INVALIDPARAMS;
        if (!node_) return DPERR_NOCONNECTION;
        if (player != DPID_ALLPLAYERS && !node_->IsLocalPlayer(player)) return DPERR_INVALIDPLAYER;
        *count = node_->inbox().Count(player);
        return DP_OK;
    }

    HRESULT InitializeConnection(void* connection, DWORD flags) override {
        if (flags) return DPERR_INVALIDFLAGS;
        if (service_ != ConnectionService::None) return DPERR_ALREADYINITIALIZED;
        const ConnectionService service = ServiceOfConnection(connection);
        if (service == ConnectionService::None) return DPERR_INVALIDPARAMS;
        if (!SearchTargetsOf(service, &targets_)) return DPERR_UNAVAILABLE;
        service_ = service;
        return DP_OK;
    }

    HRESULT Open(DPSESSIONDESC2* session, DWORD flags) override {
        if (!session || session->dwSize != sizeof(DPSESSIONDESC2)) return DPERR_INVALIDPARAMS;
        if (service_ == ConnectionService::None) return DPERR_UNINITIALIZED;
        if (node_) return DPERR_ALREADYINITIALIZED;
        const SessionPorts ports = SessionPortsOf(service_);
        if (flags == DPOPEN_JOIN) {
            for (const FoundSession& found : found_)
                if (found.session.instance == session->guidInstance)
                    return SessionNode::Join(ports, found.session, found.host, &node_);
            return DPERR_NOSESSIONS;
        }
        if (flags != DPOPEN_CREATE) return DPERR_INVALIDFLAGS;
        wire::Session created;
        created.instance = NewSessionGuid();
        created.application = session->guidApplication;
        created.flags = session->dwFlags;
        created.maxPlayers = session->dwMaxPlayers;
        created.name = session->lpszSessionNameA ? session->lpszSessionNameA : "";
        if (created.name.size() > wire::MAX_NAME) created.name.resize(wire::MAX_NAME);
        return SessionNode::Host(ports, created, &node_);
    }

    HRESULT Receive(DPID* from, DPID* to, DWORD flags, void* data, DWORD* dataSize) override {
        if (!node_) return DPERR_NOMESSAGES;
        return node_->inbox().Receive(from, to, flags, data, dataSize);
    }

    HRESULT Send(DPID from, DPID to, DWORD flags, void* data, DWORD dataSize) override {
        if (dataSize && !data) return DPERR_INVALIDPARAMS;
        if (flags & ~DPSEND_GUARANTEED) return DPERR_INVALIDFLAGS;
        if (!node_) return DPERR_NOCONNECTION;
        return node_->Send(from, to, (flags & DPSEND_GUARANTEED) != 0, data, dataSize);
    }

    uint64_t DroppedPackets() const {
        return droppedBefore_ + searchDropped_.load() + (node_ ? node_->DroppedPackets() : 0);
    }

private:
    std::atomic<ULONG> references_{1};
    ConnectionService service_ = ConnectionService::None;
    std::vector<ENetAddress> targets_;
    std::deque<FoundSession> found_;  // names stay put while the programs hold descriptions
    std::unique_ptr<SessionNode> node_;
    std::atomic<uint64_t> searchDropped_{0};
    uint64_t droppedBefore_ = 0;
};

}  // namespace

IDirectPlay3A* NewDirectPlay() {
    static const bool started = enet_initialize() == 0;
    return started ? new DirectPlay : nullptr;
}

uint64_t DirectPlayDroppedPackets(IDirectPlay3A* directPlay) {
    return directPlay ? static_cast<DirectPlay*>(directPlay)->DroppedPackets() : 0;
}
