// The connection data of a service DirectPlay offers, found by its short name
// ("Local machine", "TCP/IP"); empty when there is no such service.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/dplay/dplay.h"

inline std::vector<uint8_t> ServiceConnection(IDirectPlay3A* play, const std::string& service) {
    std::pair<std::string, std::vector<uint8_t>> wanted{service, {}};
    play->EnumConnections(
        nullptr,
        [](const GUID*, void* data, DWORD size, const DPNAME* name, DWORD, void* context) -> BOOL {
            auto* w = static_cast<std::pair<std::string, std::vector<uint8_t>>*>(context);
            if (w->first == name->lpszShortNameA) w->second.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
            return TRUE;
        },
        &wanted, DPCONNECTION_DIRECTPLAY);
    return wanted.second;
}
