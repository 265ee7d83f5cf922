// The messages waiting for a program's Receive: players' data and the system
// messages about players, the host and the session. Filled by the network
// thread, emptied by the program's thread.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dplay/dplay.h"

struct InboxMessage {
    DPID from = DPID_SYSMSG;
    DPID to = DPID_ALLPLAYERS;
    DWORD systemType = 0;  // 0: a player's data; else a DPSYS_ message about `player`
    DPID player = 0;
    DWORD currentPlayers = 0;
    std::string shortName, longName;
    std::vector<uint8_t> data;
};

class Inbox {
public:
    void Push(InboxMessage message);
    // DirectPlay's Receive: the first message matching the flags, copied into
    // data with *dataSize its size (names of system messages follow their
    // record in the same buffer).
    HRESULT Receive(DPID* from, DPID* to, DWORD flags, void* data, DWORD* dataSize);
    // Messages for one player (system messages count for every player); for
    // DPID_ALLPLAYERS all of them.
    DWORD Count(DPID player) const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::deque<InboxMessage> messages_;
};
