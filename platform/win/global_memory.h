// What the global-memory bookkeeping knows beyond the Windows calls: where a
// block ends, for readers handed a pointer into one.
#pragma once

#include <cstddef>

// The bytes from address to the end of the live global-memory block holding
// it (a fixed block, or a movable one's data while it exists); false when no
// block holds it. An empty fixed block holds its own address, with 0 bytes.
bool GlobalBlockBytesFrom(const void* address, size_t* bytes);
