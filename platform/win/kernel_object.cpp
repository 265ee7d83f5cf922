// The table of live kernel objects; a handle is the object's address.
#include "platform/win/kernel_object.h"

#include <mutex>
#include <unordered_set>

namespace {

std::mutex gObjectsLock;
std::unordered_set<KernelObject*>& gObjects = *new std::unordered_set<KernelObject*>;  // outlives static destructors

}  // namespace

HANDLE RegisterKernelObject(KernelObject* object) {
    std::lock_guard lock(gObjectsLock);
    gObjects.insert(object);
    return object;
}

KernelObject* LookUpKernelObject(HANDLE handle) {
    std::lock_guard lock(gObjectsLock);
    const auto found = gObjects.find(static_cast<KernelObject*>(handle));
    return found == gObjects.end() ? nullptr : *found;
}

BOOL CloseHandle(HANDLE handle) {
    KernelObject* object = nullptr;
    {
        std::lock_guard lock(gObjectsLock);
        const auto found = gObjects.find(static_cast<KernelObject*>(handle));
        if (found == gObjects.end()) return FALSE;
        object = *found;
        gObjects.erase(found);
    }
    delete object;
    return TRUE;
}
