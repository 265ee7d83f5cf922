// The 16-byte globally unique identifier that names interfaces, classes,
// devices, services and sessions.
#pragma once

#include <cstdint>

struct GUID {
    uint32_t data1;
    uint16_t data2, data3;
    uint8_t data4[8];
};

inline bool operator==(const GUID& a, const GUID& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.data4[i] != b.data4[i]) return false;
    return true;
}
