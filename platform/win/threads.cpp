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
#include <memory>
#include <vector>

#include "platform/win/backend.h"

namespace {

constexpr DWORD PENDING = 0xFFFFFFFEu;

// The state of an event or a thread, shared by its handle, the waits on it
// and (for a thread) the running thread, so closing the handle early is safe.
struct WaitState {
    WaitState(bool manualReset, bool signaled, bool thread)
        : manualReset(manualReset), signaled(signaled), thread(thread) {}
    const bool manualReset;
    bool signaled;
    const bool thread;
    DWORD exitCode = STILL_ACTIVE;
};
using StatePointer = std::shared_ptr<WaitState>;

class WaitableObject final : public KernelObject {
public:
    explicit WaitableObject(StatePointer state) : state(std::move(state)) {}
    const StatePointer state;
};

struct Waiter {
    std::vector<StatePointer> objects;
    bool all = false;
    bool createdThread = false;
    bool virtualDeadline = false;
    DWORD deadline = 0;
    DWORD result = PENDING;
};

struct SyncState {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Waiter*> waiters;
    int runningThreads = 0;  // threads made by CreateThread that are not blocked in a wait
};

SyncState& gSync = *new SyncState;  // threads may outlive static destructors
thread_local bool tCreatedThread = false;

StatePointer FindState(HANDLE handle) {
    auto* object = dynamic_cast<WaitableObject*>(LookUpKernelObject(handle));
    return object ? object->state : nullptr;
}

bool VirtualClock() { return PlatformIsOpen() && GetPlatformOptions().backend == "headless"; }

void Consume(const StatePointer& object) {
    if (!object->manualReset) object->signaled = false;
}

DWORD TrySatisfy(const Waiter& waiter) {
    if (waiter.all) {
        for (const StatePointer& object : waiter.objects)
            if (!object->signaled) return PENDING;
        for (const StatePointer& object : waiter.objects) Consume(object);
        return WAIT_OBJECT_0;
    }
    for (size_t i = 0; i < waiter.objects.size(); ++i) {
        if (waiter.objects[i]->signaled) {
            Consume(waiter.objects[i]);
            return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        }
    }
    return PENDING;
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
        if (const DWORD result = TrySatisfy(*waiter); result != PENDING) Complete(waiter, result);
    gSync.changed.notify_all();
}

DWORD BlockVirtualMainThread(std::unique_lock<std::mutex>& lock, Waiter& waiter, DWORD milliseconds) {
    const DWORD start = Backend().ticks();
    for (;;) {
        gSync.changed.wait(lock, [&] { return waiter.result != PENDING || gSync.runningThreads == 0; });
        if (waiter.result != PENDING) return waiter.result;
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
    while (waiter.result == PENDING) {
        if (milliseconds == INFINITE) {
            gSync.changed.wait(lock);
        } else if (gSync.changed.wait_until(lock, deadline) == std::cv_status::timeout &&
                   waiter.result == PENDING) {
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
        StatePointer object = FindState(handles[i]);
        if (!object) return WAIT_FAILED;
        waiter.objects.push_back(std::move(object));
    }
    if (const DWORD result = TrySatisfy(waiter); result != PENDING) return result;
    if (milliseconds == 0) return WAIT_TIMEOUT;

    gSync.waiters.push_back(&waiter);
    if (waiter.createdThread) --gSync.runningThreads;
    gSync.changed.notify_all();
    if (!VirtualClock()) return BlockRealTime(lock, waiter, milliseconds);
    if (!waiter.createdThread) return BlockVirtualMainThread(lock, waiter, milliseconds);
    waiter.virtualDeadline = milliseconds != INFINITE;
    waiter.deadline = Backend().ticks() + milliseconds;
    gSync.changed.wait(lock, [&] { return waiter.result != PENDING; });
    return waiter.result;
}

}  // namespace

HANDLE CreateEventA(void* security, BOOL manualReset, BOOL initialState, const char* name) {
    if (security || name) return nullptr;
    return RegisterKernelObject(
        new WaitableObject(std::make_shared<WaitState>(manualReset != FALSE, initialState != FALSE, false)));
}

BOOL SetEvent(HANDLE handle) {
    const StatePointer event = FindState(handle);
    if (!event || event->thread) return FALSE;
    std::lock_guard lock(gSync.mutex);
    event->signaled = true;
    WakeWaiters();
    return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
    const StatePointer event = FindState(handle);
    if (!event || event->thread) return FALSE;
    std::lock_guard lock(gSync.mutex);
    event->signaled = false;
    return TRUE;
}

HANDLE CreateThread(void* security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD creationFlags, DWORD* threadId) {
    static std::atomic<DWORD> nextId{1};
    if (security || stackSize != 0 || !start || creationFlags != 0) return nullptr;
    auto state = std::make_shared<WaitState>(true, false, true);
    {
        std::lock_guard lock(gSync.mutex);
        ++gSync.runningThreads;
    }
    try {
        std::thread([state, start, parameter] {
            tCreatedThread = true;
            const DWORD exitCode = start(parameter);
            std::lock_guard lock(gSync.mutex);
            state->exitCode = exitCode;
            state->signaled = true;
            --gSync.runningThreads;
            WakeWaiters();
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(gSync.mutex);
        --gSync.runningThreads;
        return nullptr;
    }
    if (threadId) *threadId = nextId++;
    return RegisterKernelObject(new WaitableObject(state));
}

BOOL GetExitCodeThread(HANDLE handle, DWORD* exitCode) {
    const StatePointer thread = FindState(handle);
    if (!thread || !thread->thread || !exitCode) return FALSE;
    std::lock_guard lock(gSync.mutex);
    *exitCode = thread->exitCode;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) { return Wait(1, &object, false, milliseconds); }

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds) {
    return Wait(count, objects, waitAll != FALSE, milliseconds);
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
