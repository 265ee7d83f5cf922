// Received messages and their layout in the program's buffer.
#include "platform/dplay/inbox.h"

#include <cstring>

namespace {

bool Matches(const InboxMessage& m, DPID from, DPID to, DWORD flags) {
    if ((flags & DPRECEIVE_TOPLAYER) && m.to != to && m.to != DPID_ALLPLAYERS) return false;
    if ((flags & DPRECEIVE_FROMPLAYER) && m.from != from) return false;
    return true;
}

bool HasNames(const InboxMessage& m) {
    return m.systemType == DPSYS_CREATEPLAYERORGROUP || m.systemType == DPSYS_DESTROYPLAYERORGROUP;
}

size_t RecordSize(const InboxMessage& m) {
    if (m.systemType == DPSYS_CREATEPLAYERORGROUP) return sizeof(DPMSG_CREATEPLAYERORGROUP);
    if (m.systemType == DPSYS_DESTROYPLAYERORGROUP) return sizeof(DPMSG_DESTROYPLAYERORGROUP);
    return sizeof(DPMSG_GENERIC);
}

size_t MessageSize(const InboxMessage& m) {
    if (m.systemType == 0) return m.data.size();
    return RecordSize(m) + (HasNames(m) ? m.shortName.size() + m.longName.size() + 2 : 0);
}

// Writes the names after the record and points the record's DPNAME at them.
DPNAME PlaceNames(const InboxMessage& m, uint8_t* out) {
    char* shortName = reinterpret_cast<char*>(out + RecordSize(m));
    char* longName = shortName + m.shortName.size() + 1;
    std::memcpy(shortName, m.shortName.c_str(), m.shortName.size() + 1);
    std::memcpy(longName, m.longName.c_str(), m.longName.size() + 1);
    return DPNAME{sizeof(DPNAME), 0, shortName, longName};
}

void WriteMessage(const InboxMessage& m, uint8_t* out) {
    if (m.systemType == 0) {
        if (!m.data.empty()) std::memcpy(out, m.data.data(), m.data.size());
    } else if (m.systemType == DPSYS_CREATEPLAYERORGROUP) {
        DPMSG_CREATEPLAYERORGROUP record{};
        record.dwType = m.systemType;
        record.dwPlayerType = DPPLAYERTYPE_PLAYER;
        record.dpId = m.player;
        record.dwCurrentPlayers = m.currentPlayers;
        record.dpnName = PlaceNames(m, out);
        std::memcpy(out, &record, sizeof(record));
    } else if (m.systemType == DPSYS_DESTROYPLAYERORGROUP) {
        DPMSG_DESTROYPLAYERORGROUP record{};
        record.dwType = m.systemType;
        record.dwPlayerType = DPPLAYERTYPE_PLAYER;
        record.dpId = m.player;
        record.dpnName = PlaceNames(m, out);
        std::memcpy(out, &record, sizeof(record));
    } else {
        const DPMSG_GENERIC record{m.systemType};
        std::memcpy(out, &record, sizeof(record));
    }
}

}  // namespace

void Inbox::Push(InboxMessage message) {
    std::lock_guard lock(mutex_);
    messages_.push_back(std::move(message));
}

HRESULT Inbox::Receive(DPID* from, DPID* to, DWORD flags, void* data, DWORD* dataSize) {
    if (!from || !to || !dataSize) return DPERR_INVALIDPARAMS;
    std::lock_guard lock(mutex_);
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
        if (!Matches(*it, *from, *to, flags)) continue;
        const size_t size = MessageSize(*it);
        if (!data || *dataSize < size) {
            *dataSize = static_cast<DWORD>(size);
            return DPERR_BUFFERTOOSMALL;
        }
        WriteMessage(*it, static_cast<uint8_t*>(data));
        *dataSize = static_cast<DWORD>(size);
        *from = it->from;
        *to = it->to;
        if (!(flags & DPRECEIVE_PEEK)) messages_.erase(it);
        return DP_OK;
    }
    return DPERR_NOMESSAGES;
}

DWORD Inbox::Count(DPID player) const {
    std::lock_guard lock(mutex_);
    DWORD count = 0;
    for (const InboxMessage& m : messages_)
        if (player == DPID_ALLPLAYERS || m.to == player || m.to == DPID_ALLPLAYERS) ++count;
    return count;
}

void Inbox::Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}
