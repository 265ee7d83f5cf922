// Movable global-memory blocks: a handle names a block whose address is valid
// between GlobalLock and GlobalUnlock. Handles are checked against the set of
// live blocks, so a stale or foreign handle is refused instead of followed.
// Decoder plug-ins allocate through these calls and the host frees the blocks.
#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_set>

#include "platform/win/win.h"

namespace {

struct GlobalBlock {
    void* data;  // null for a block of 0 bytes
    SIZE_T size;
    unsigned lockCount;
};

std::mutex gBlocksMutex;
std::unordered_set<GlobalBlock*> gBlocks;

// The live block behind a handle, or null; the caller holds the mutex.
GlobalBlock* FindBlock(HGLOBAL handle) {
    const auto found = gBlocks.find(static_cast<GlobalBlock*>(handle));
    return found == gBlocks.end() ? nullptr : *found;
}

}  // namespace

// Only movable blocks exist here; any other flag than GMEM_ZEROINIT is refused.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    if (!(flags & GMEM_MOVEABLE) || (flags & ~(GMEM_MOVEABLE | GMEM_ZEROINIT))) return nullptr;
    void* data = nullptr;
    if (bytes > 0) {
        data = (flags & GMEM_ZEROINIT) ? std::calloc(1, bytes) : std::malloc(bytes);
        if (!data) return nullptr;
    }
    auto* block = new (std::nothrow) GlobalBlock{data, bytes, 0};
    if (!block) {
        std::free(data);
        return nullptr;
    }
    const std::lock_guard<std::mutex> hold(gBlocksMutex);
    gBlocks.insert(block);
    return block;
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
        gBlocks.erase(block);
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
