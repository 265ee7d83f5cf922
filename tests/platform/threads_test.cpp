// Events, threads and waits, on the virtual clock and in real time.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "platform/win/platform.h"
#include "tests/framework/headless_fixture.h"
#include "platform/win/threads.h"

namespace {

struct Relay {
    HANDLE go;
    HANDLE done;
    DWORD sleep;
    std::atomic<int> rounds{0};
};

// Waits for `go`, sleeps, signals `done`; three times, then ends with 7.
DWORD RelayThread(void* parameter) {
    auto* relay = static_cast<Relay*>(parameter);
    for (int i = 0; i < 3; ++i) {
        if (WaitForSingleObject(relay->go, INFINITE) != WAIT_OBJECT_0) return 1;
        if (relay->sleep) Sleep(relay->sleep);
        ++relay->rounds;
        SetEvent(relay->done);
    }
    return 7;
}

class VirtualTime : public HeadlessTest {};

TEST_F(VirtualTime, WaitsAndSleepingThreadsLetExactlyTheirTimePassAndFrameSleepsWaitForIdleThreads) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const DWORD start = timeGetTime();
    const DWORD waited = WaitForSingleObject(event, 50), afterWait = timeGetTime() - start;
    EXPECT_EQ((std::vector<DWORD>{waited, afterWait, WaitForSingleObject(event, 0), timeGetTime() - start}),
              (std::vector<DWORD>{WAIT_TIMEOUT, 50, WAIT_TIMEOUT, 50}));
    CloseHandle(event);
    Relay relay{CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr), 30};
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, RelayThread, &relay, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    for (int round = 1; round <= 3; ++round) {
        const DWORD start = timeGetTime();
        SetEvent(relay.go);
        EXPECT_EQ(WaitForSingleObject(relay.done, INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(timeGetTime() - start, 30u) << "round " << round;
        EXPECT_EQ(relay.rounds, round);
    }
    EXPECT_EQ(WaitForSingleObject(thread, 1000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    for (HANDLE handle : {thread, relay.go, relay.done}) CloseHandle(handle);
    // A frame's sleep waits until the threads are idle.
    Relay idle{CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr), 0};
    HANDLE worker = CreateThread(nullptr, 0, RelayThread, &idle, 0, nullptr);
    SetEvent(idle.go);
    Sleep(1);  // the worker has run its round before the clock moved
    EXPECT_EQ(idle.rounds, 1);
    EXPECT_EQ(WaitForSingleObject(idle.done, 0), WAIT_OBJECT_0);
    SetEvent(idle.go);
    Sleep(1);
    EXPECT_EQ(idle.rounds, 2);
    SetEvent(idle.go);
    EXPECT_EQ(WaitForSingleObject(worker, INFINITE), WAIT_OBJECT_0);
    for (HANDLE handle : {worker, idle.go, idle.done}) CloseHandle(handle);
}

TEST(Events, WaitAnyGivesTheFirstSignalledWaitAllTakesEveryAndWaitsWakeAcrossThreads) {
    HANDLE e[3] = {CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, TRUE, nullptr),
                   CreateEventA(nullptr, TRUE, TRUE, nullptr)};
    EXPECT_EQ(WaitForMultipleObjects(3, e, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, e, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(3, e, FALSE, 0), WAIT_OBJECT_0 + 2) << "manual reset stays signalled";
    EXPECT_EQ(WaitForMultipleObjects(3, e, TRUE, 0), WAIT_TIMEOUT);
    SetEvent(e[0]);
    SetEvent(e[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, e, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, e, FALSE, 0), WAIT_TIMEOUT) << "waiting for all consumed both";
    ResetEvent(e[2]);
    EXPECT_EQ(WaitForSingleObject(e[2], 0), WAIT_TIMEOUT);
    for (HANDLE h : e) EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(WaitForSingleObject(e[0], 0), WAIT_FAILED) << "a closed handle";
    EXPECT_FALSE(CloseHandle(e[0]));
    EXPECT_EQ(WaitForMultipleObjects(0, e, FALSE, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(nullptr));
    // Real-time waits time out and wake across threads.
    Relay relay{CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr), 0};
    EXPECT_EQ(WaitForSingleObject(relay.done, 20), WAIT_TIMEOUT);
    HANDLE thread = CreateThread(nullptr, 0, RelayThread, &relay, 0, nullptr);
    for (int round = 1; round <= 3; ++round) {
        SetEvent(relay.go);
        EXPECT_EQ(WaitForSingleObject(relay.done, 10000), WAIT_OBJECT_0);
    }
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    for (HANDLE handle : {thread, relay.go, relay.done}) CloseHandle(handle);
}

}  // namespace
