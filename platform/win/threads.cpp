// Events, threads and waits. One lock guards every object's signalled state
// and the list of blocked waits; whoever satisfies a wait (SetEvent, a thread's
// end, a time-out) completes it under that lock, so a thread made here counts
// as running again from that moment. The headless backend uses that count to
// move its virtual clock only while all those threads are blocked.
#include "platform/win/threads.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <vector>

#include "platform/win/backend.h"

namespace {

constexpr DWORD kPending = 0xFFFFFFFEu;

class Waitable : public KernelObject {
public:
    explicit Waitable(bool manualReset, bool signaled) : manualReset(manualReset), signaled(signaled) {}

    const bool manualReset;
    bool signaled;
    int references = 1;
};

class ThreadObject final : public Waitable {
public:
    ThreadObject() : Waitable(true, false) {}
    DWORD exitCode = STILL_ACTIVE;
};

struct Waiter {
    std::vector<Waitable*> objects;
    bool all = false;
    bool createdThread = false;
    bool virtualDeadline = false;
    DWORD deadline = 0;
    DWORD result = kPending;
};

struct SyncState {
    std::mutex mutex;
    std::condition_variable changed;
    std::unordered_set<KernelObject*> live;
    std::vector<Waiter*> waiters;
    int runningThreads = 0;  // threads made by CreateThread that are not blocked in a wait
};

SyncState& gSync = *new SyncState;  // threads may outlive static destructors
thread_local bool tCreatedThread = false;

bool VirtualClock() { return PlatformIsOpen() && GetPlatformOptions().backend == "headless"; }

void Consume(Waitable* object) {
    if (!object->manualReset) object->signaled = false;
}

DWORD TrySatisfy(const Waiter& waiter) {
    if (waiter.all) {
        for (Waitable* object : waiter.objects)
            if (!object->signaled) return kPending;
        for (Waitable* object : waiter.objects) Consume(object);
        return WAIT_OBJECT_0;
    }
    for (size_t i = 0; i < waiter.objects.size(); ++i) {
        if (waiter.objects[i]->signaled) {
            Consume(waiter.objects[i]);
            return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        }
    }
    return kPending;
}

// Completes a blocked wait (lock held).
void Complete(Waiter* waiter, DWORD result) {
    waiter->result = result;
    if (waiter->createdThread) ++gSync.runningThreads;
    gSync.waiters.erase(std::find(gSync.waiters.begin(), gSync.waiters.end(), waiter));
}

// After an object became signalled, completes the waits it satisfies, oldest
// first (lock held).
void WakeWaiters() {
    for (Waiter* waiter : std::vector<Waiter*>(gSync.waiters))
        if (const DWORD result = TrySatisfy(*waiter); result != kPending) Complete(waiter, result);
    gSync.changed.notify_all();
}

void Release(Waitable* object) {
    if (--object->references > 0) return;
    gSync.live.erase(object);
    delete object;
}

Waitable* FindWaitable(HANDLE handle) {
    auto* object = static_cast<KernelObject*>(handle);
    if (!object || !gSync.live.count(object)) return nullptr;
    return dynamic_cast<Waitable*>(object);
}

DWORD BlockVirtualMainThread(std::unique_lock<std::mutex>& lock, Waiter& waiter, DWORD milliseconds) {
    const DWORD start = Backend().ticks();
    for (;;) {
        gSync.changed.wait(lock, [&] { return waiter.result != kPending || gSync.runningThreads == 0; });
        if (waiter.result != kPending) return waiter.result;
        if (milliseconds != INFINITE && Backend().ticks() - start >= milliseconds) {
            Complete(&waiter, WAIT_TIMEOUT);
            return WAIT_TIMEOUT;
        }
        lock.unlock();
        Backend().sleep(1);
        lock.lock();
    }
}

DWORD BlockRealTime(std::unique_lock<std::mutex>& lock, Waiter& waiter, DWORD milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (waiter.result == kPending) {
        if (milliseconds == INFINITE) {
            gSync.changed.wait(lock);
        } else if (gSync.changed.wait_until(lock, deadline) == std::cv_status::timeout &&
                   waiter.result == kPending) {
            Complete(&waiter, WAIT_TIMEOUT);
        }
    }
    return waiter.result;
}

DWORD Wait(DWORD count, const HANDLE* handles, bool all, DWORD milliseconds) {
    std::unique_lock lock(gSync.mutex);
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) return WAIT_FAILED;
    Waiter waiter;
    waiter.all = all;
    waiter.createdThread = tCreatedThread;
    for (DWORD i = 0; i < count; ++i) {
        Waitable* object = FindWaitable(handles[i]);
        if (!object) return WAIT_FAILED;
        waiter.objects.push_back(object);
    }
    if (const DWORD result = TrySatisfy(waiter); result != kPending) return result;
    if (milliseconds == 0) return WAIT_TIMEOUT;

    gSync.waiters.push_back(&waiter);
    if (waiter.createdThread) --gSync.runningThreads;
    gSync.changed.notify_all();
    if (!VirtualClock()) return BlockRealTime(lock, waiter, milliseconds);
    if (!waiter.createdThread) return BlockVirtualMainThread(lock, waiter, milliseconds);
    waiter.virtualDeadline = milliseconds != INFINITE;
    waiter.deadline = Backend().ticks() + milliseconds;
    gSync.changed.wait(lock, [&] { return waiter.result != kPending; });
    return waiter.result;
}

}  // namespace

HANDLE CreateEventA(void* security, BOOL manualReset, BOOL initialState, const char* name) {
    if (security || name) return nullptr;
    auto* event = new Waitable(manualReset != FALSE, initialState != FALSE);
    std::lock_guard lock(gSync.mutex);
    gSync.live.insert(event);
    return event;
}

BOOL SetEvent(HANDLE handle) {
    std::lock_guard lock(gSync.mutex);
    Waitable* event = FindWaitable(handle);
    if (!event || dynamic_cast<ThreadObject*>(event)) return FALSE;
    event->signaled = true;
    WakeWaiters();
    return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
    std::lock_guard lock(gSync.mutex);
    Waitable* event = FindWaitable(handle);
    if (!event || dynamic_cast<ThreadObject*>(event)) return FALSE;
    event->signaled = false;
    return TRUE;
}

HANDLE CreateThread(void* security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD creationFlags, DWORD* threadId) {
    static std::atomic<DWORD> nextId{1};
    if (security || stackSize != 0 || !start || creationFlags != 0) return nullptr;
    auto* thread = new ThreadObject;
    {
        std::lock_guard lock(gSync.mutex);
        gSync.live.insert(thread);
        thread->references = 2;  // the handle and the running thread
        ++gSync.runningThreads;
    }
    try {
        std::thread([thread, start, parameter] {
            tCreatedThread = true;
            const DWORD exitCode = start(parameter);
            std::lock_guard lock(gSync.mutex);
            thread->exitCode = exitCode;
            thread->signaled = true;
            --gSync.runningThreads;
            WakeWaiters();
            Release(thread);
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(gSync.mutex);
        --gSync.runningThreads;
        gSync.live.erase(thread);
        delete thread;
        return nullptr;
    }
    if (threadId) *threadId = nextId++;
    return thread;
}

BOOL GetExitCodeThread(HANDLE handle, DWORD* exitCode) {
    std::lock_guard lock(gSync.mutex);
    auto* thread = dynamic_cast<ThreadObject*>(FindWaitable(handle));
    if (!thread || !exitCode) return FALSE;
    *exitCode = thread->exitCode;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) { return Wait(1, &object, false, milliseconds); }

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds) {
    return Wait(count, objects, waitAll != FALSE, milliseconds);
}

BOOL CloseHandle(HANDLE handle) {
    auto* object = static_cast<KernelObject*>(handle);
    {
        std::lock_guard lock(gSync.mutex);
        if (!object || !gSync.live.count(object)) return FALSE;
        if (auto* waitable = dynamic_cast<Waitable*>(object)) {
            Release(waitable);
            return TRUE;
        }
        gSync.live.erase(object);
    }
    delete object;
    return TRUE;
}

HANDLE RegisterKernelObject(KernelObject* object) {
    std::lock_guard lock(gSync.mutex);
    gSync.live.insert(object);
    return object;
}

KernelObject* FindKernelObject(HANDLE handle) {
    std::lock_guard lock(gSync.mutex);
    auto* object = static_cast<KernelObject*>(handle);
    return object && gSync.live.count(object) ? object : nullptr;
}

void WaitForIdleThreads() {
    std::unique_lock lock(gSync.mutex);
    gSync.changed.wait(lock, [] { return gSync.runningThreads == 0; });
}

void ExpireVirtualTimeouts(DWORD now) {
    std::lock_guard lock(gSync.mutex);
    for (Waiter* waiter : std::vector<Waiter*>(gSync.waiters))
        if (waiter->virtualDeadline && static_cast<int32_t>(now - waiter->deadline) >= 0)
            Complete(waiter, WAIT_TIMEOUT);
    gSync.changed.notify_all();
}

bool SleepAsVirtualWait(DWORD milliseconds) {
    if (!tCreatedThread || !VirtualClock()) return false;
    // An event nobody signals: the wait ends by its time-out.
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (milliseconds > 0) Wait(1, &never, false, milliseconds);
    CloseHandle(never);
    return true;
}
