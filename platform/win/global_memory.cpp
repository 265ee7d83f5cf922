// Global-memory blocks. A movable block's handle names a block whose address
// is valid between GlobalLock and GlobalUnlock; a fixed block's handle is its
// address. Handles are checked against the set of live blocks, so a stale or
// foreign handle is refused instead of followed. Decoder plug-ins allocate
// through these calls and the host frees the blocks.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_map>

#include "platform/win/global_memory.h"
#include "platform/win/win.h"

namespace {

struct GlobalBlock {
    void* data;  // null for a movable block of 0 bytes
    SIZE_T size;
    unsigned lockCount;
};

std::mutex gBlocksMutex;
std::unordered_map<HGLOBAL, GlobalBlock*> gBlocks;  // by handle

// The live block behind a handle, or null; the caller holds the mutex.
GlobalBlock* FindBlock(HGLOBAL handle) {
    const auto found = gBlocks.find(handle);
    return found == gBlocks.end() ? nullptr : found->second;
}

}  // namespace

// Movable (GMEM_MOVEABLE) and fixed (no flag) blocks, zero-filled on
// GMEM_ZEROINIT; any other flag is refused.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (flags & ~(GMEM_MOVEABLE | GMEM_ZEROINIT)) return nullptr;
    const bool movable = (flags & GMEM_MOVEABLE) != 0;
    void* data = nullptr;
    // A fixed block is its address, so even an empty one needs a byte.
    const SIZE_T allocated = movable ? bytes : std::max<SIZE_T>(bytes, 1);
    if (allocated > 0) {
        data = (flags & GMEM_ZEROINIT) ? std::calloc(1, allocated) : std::malloc(allocated);
        if (!data) return nullptr;
    }
    auto* block = new (std::nothrow) GlobalBlock{data, bytes, 0};
    if (!block) {
        std::free(data);
        return nullptr;
    }
    const HGLOBAL handle = movable ? static_cast<HGLOBAL>(block) : data;
    const std::lock_guard<std::mutex> hold(gBlocksMutex);
    gBlocks[handle] = block;
    return handle;
}

void* GlobalLock(HGLOBAL handle) {
    const std::lock_guard<std::mutex> hold(gBlocksMutex);
    GlobalBlock* block = FindBlock(handle);
    if (!block || !block->data) return nullptr;
    ++block->lockCount;
    return block->data;
}

// Nonzero while the block stays locked after this call.
BOOL GlobalUnlock(HGLOBAL handle) {
    const std::lock_guard<std::mutex> hold(gBlocksMutex);
    GlobalBlock* block = FindBlock(handle);
    if (!block || block->lockCount == 0) return FALSE;
    --block->lockCount;
    return block->lockCount > 0 ? TRUE : FALSE;
}

// Null on success; the handle itself when it names no live block.
HGLOBAL GlobalFree(HGLOBAL handle) {
    GlobalBlock* block;
    {
        const std::lock_guard<std::mutex> hold(gBlocksMutex);
        block = FindBlock(handle);
        if (!block) return handle;
        gBlocks.erase(handle);
    }
    std::free(block->data);
    delete block;
    return nullptr;
}

SIZE_T GlobalSize(HGLOBAL handle) {
    const std::lock_guard<std::mutex> hold(gBlocksMutex);
    const GlobalBlock* block = FindBlock(handle);
    return block ? block->size : 0;
}

bool GlobalBlockBytesFrom(const void* address, size_t* bytes) {
    const auto at = reinterpret_cast<uintptr_t>(address);
    const std::lock_guard<std::mutex> hold(gBlocksMutex);
    for (const auto& entry : gBlocks) {
        const GlobalBlock* block = entry.second;
        const auto start = reinterpret_cast<uintptr_t>(block->data);
        if (!block->data || at < start || at - start >= std::max<size_t>(block->size, 1)) continue;
        *bytes = block->size - (at - start);
        return true;
    }
    return false;
}
