// Network sessions on the loopback interface (the local-machine service on
// session ports of the benchmark's own):
// - the session search: time from the request to the host's answer, the
//   search's time-out taken off (the callback stops at the first session);
// - eight players each sending 60 small guaranteed messages a second to all
//   for 60 seconds: every message delivered in order, one-way latency;
// - a host killed with SIGKILL: time until a member has become the new host,
//   and until a search finds the session through it.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dplay/dplay.h"
#include "platform/win/platform.h"
#include "tests/support/dplay_services.h"

namespace {

const GUID BENCH_APPLICATION = {0x7a1e44c0, 0x0b2d, 0x4c55, {0x90, 0x13, 0x2f, 0x6e, 0x81, 0xd4, 0x3a, 0x77}};
constexpr DWORD SESSION_FLAGS = DPSESSION_KEEPALIVE | DPSESSION_MIGRATEHOST;

int64_t NowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// A DirectPlay object with the local-machine service initialised.
IDirectPlay3A* NewLocalDirectPlay() {
    IDirectPlay3A* play = nullptr;
    CoCreateInstance(CLSID_DirectPlay, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectPlay3A, reinterpret_cast<void**>(&play));
    play->InitializeConnection(ServiceConnection(play, "Local machine").data(), 0);
    return play;
}

DPSESSIONDESC2 SessionDescription(const char* name, DWORD maxPlayers) {
    DPSESSIONDESC2 d{};
    d.dwSize = sizeof(d);
    d.dwFlags = SESSION_FLAGS;
    d.guidApplication = BENCH_APPLICATION;
    d.dwMaxPlayers = maxPlayers;
    d.lpszSessionNameA = const_cast<char*>(name);
    return d;
}

DPID AddPlayer(IDirectPlay3A* play, const char* name) {
    DPID id = 0;
    DPNAME n{sizeof(DPNAME), 0, const_cast<char*>(name), const_cast<char*>(name)};
    play->CreatePlayer(&id, &n, nullptr, nullptr, 0, 0);
    return id;
}

// Searches until the first session answers (or the time-out passes); true
// when one did, with its description for joining.
bool FindFirstSession(IDirectPlay3A* play, DWORD timeOutMs, DPSESSIONDESC2* found) {
    DPSESSIONDESC2 search{};
    search.dwSize = sizeof(search);
    search.guidApplication = BENCH_APPLICATION;
    found->dwSize = 0;
    play->EnumSessions(
        &search, timeOutMs,
        [](const DPSESSIONDESC2* s, DWORD*, DWORD flags, void* context) -> BOOL {
            if (!(flags & DPESC_TIMEDOUT)) *static_cast<DPSESSIONDESC2*>(context) = *s;
            return FALSE;
        },
        found, DPENUMSESSIONS_ALL);
    return found->dwSize != 0;
}

IDirectPlay3A* JoinFirstSession() {
    IDirectPlay3A* play = NewLocalDirectPlay();
    DPSESSIONDESC2 found{};
    for (int tries = 0; tries < 20; ++tries)
        if (FindFirstSession(play, 500, &found) && play->Open(&found, DPOPEN_JOIN) == DP_OK) return play;
    play->Release();
    return nullptr;
}

void BM_SessionSearchAnswer(benchmark::State& state) {
    IDirectPlay3A* host = NewLocalDirectPlay();
    DPSESSIONDESC2 session = SessionDescription("Bench", 8);
    host->Open(&session, DPOPEN_CREATE);
    AddPlayer(host, "host");
    IDirectPlay3A* searcher = NewLocalDirectPlay();
    DPSESSIONDESC2 found{};
    for (auto _ : state) {
        const int64_t start = NowNs();
        const bool answered = FindFirstSession(searcher, 1000, &found);
        state.SetIterationTime(static_cast<double>(NowNs() - start) * 1e-9);
        if (!answered) state.SkipWithError("no answer within the default time-out");
    }
    searcher->Release();
    host->Release();
}
BENCHMARK(BM_SessionSearchAnswer)->UseManualTime()->Unit(benchmark::kMillisecond);

struct Stamp {
    uint32_t sender;
    uint32_t sequence;
    int64_t sentNs;
};

void BM_EightPlayersAt60HzFor60s(benchmark::State& state) {
    constexpr int PLAYERS = 8;
    const int seconds = static_cast<int>(state.range(0));
    std::vector<IDirectPlay3A*> plays(PLAYERS);
    std::vector<DPID> ids(PLAYERS);
    plays[0] = NewLocalDirectPlay();
    DPSESSIONDESC2 session = SessionDescription("Eight", PLAYERS);
    plays[0]->Open(&session, DPOPEN_CREATE);
    ids[0] = AddPlayer(plays[0], "p0");
    for (int i = 1; i < PLAYERS; ++i) {
        plays[i] = JoinFirstSession();
        if (!plays[i]) return state.SkipWithError("a player could not join");
        ids[i] = AddPlayer(plays[i], ("p" + std::to_string(i)).c_str());
    }
    // Let every machine hear of every player before the clock starts.
    usleep(300000);
    for (IDirectPlay3A* p : plays) {
        DPID from, to;
        uint8_t buffer[512];
        for (DWORD size = sizeof(buffer); p->Receive(&from, &to, 0, buffer, &size) == DP_OK; size = sizeof(buffer)) {}
    }

    std::vector<int64_t> latencies;
    int64_t outOfOrder = 0;
    for (auto _ : state) {
        std::vector<std::vector<uint32_t>> next(PLAYERS, std::vector<uint32_t>(PLAYERS, 0));
        const int64_t start = NowNs();
        const int64_t period = 1000000000 / 60;
        const uint32_t ticks = static_cast<uint32_t>(seconds * 60);
        uint32_t sent = 0;
        const int64_t end = start + static_cast<int64_t>(seconds) * 1000000000 + 500000000;
        while (NowNs() < end) {
            for (; sent < ticks && NowNs() >= start + period * sent; ++sent)
                for (int i = 0; i < PLAYERS; ++i) {
                    Stamp stamp{static_cast<uint32_t>(i), sent, NowNs()};
                    plays[i]->Send(ids[i], DPID_ALLPLAYERS, DPSEND_GUARANTEED, &stamp, sizeof(stamp));
                }
            for (int r = 0; r < PLAYERS; ++r) {
                DPID from, to;
                Stamp stamp;
                for (DWORD size = sizeof(stamp); plays[r]->Receive(&from, &to, 0, &stamp, &size) == DP_OK;
                     size = sizeof(stamp)) {
                    if (from == DPID_SYSMSG || size != sizeof(stamp) || stamp.sender >= PLAYERS) continue;
                    latencies.push_back(NowNs() - stamp.sentNs);
                    if (stamp.sequence != next[r][stamp.sender]) ++outOfOrder;
                    next[r][stamp.sender] = stamp.sequence + 1;
                }
            }
            usleep(100);
        }
        state.SetIterationTime(static_cast<double>(NowNs() - start) * 1e-9);
    }
    const int64_t expected = static_cast<int64_t>(seconds) * 60 * PLAYERS * (PLAYERS - 1);
    std::sort(latencies.begin(), latencies.end());
    const auto percentile = [&](double p) {
        return latencies.empty() ? 0.0 : static_cast<double>(latencies[static_cast<size_t>(p * (latencies.size() - 1))]) * 1e-6;
    };
    state.counters["delivered"] = static_cast<double>(latencies.size());
    state.counters["expected"] = static_cast<double>(expected);
    state.counters["out_of_order"] = static_cast<double>(outOfOrder);
    state.counters["median_ms"] = percentile(0.5);
    state.counters["p99_ms"] = percentile(0.99);
    state.counters["max_ms"] = percentile(1.0);
    for (IDirectPlay3A* p : plays)
        if (p) p->Release();
}
BENCHMARK(BM_EightPlayersAt60HzFor60s)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// A host in a child process, killed with SIGKILL once two members joined.
void BM_NewHostAfterHostDeath(benchmark::State& state) {
    std::vector<double> findable;
    for (auto _ : state) {
        state.PauseTiming();
        const pid_t child = fork();
        if (child == 0) {
            IDirectPlay3A* host = NewLocalDirectPlay();
            DPSESSIONDESC2 session = SessionDescription("Doomed", 8);
            host->Open(&session, DPOPEN_CREATE);
            AddPlayer(host, "host");
            for (;;) pause();
        }
        IDirectPlay3A* first = JoinFirstSession();
        IDirectPlay3A* second = JoinFirstSession();
        if (!first || !second) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            return state.SkipWithError("the members could not join");
        }
        AddPlayer(first, "first");
        AddPlayer(second, "second");
        usleep(200000);
        kill(child, SIGKILL);
        const int64_t killed = NowNs();
        waitpid(child, nullptr, 0);
        state.ResumeTiming();
        bool host = false;
        while (!host && NowNs() - killed < 10000000000) {
            DPID from, to;
            uint8_t buffer[512];
            DWORD size = sizeof(buffer);
            while (!host && first->Receive(&from, &to, 0, buffer, &size) == DP_OK) {
                DWORD type;
                std::memcpy(&type, buffer, sizeof(type));
                host = from == DPID_SYSMSG && type == DPSYS_HOST;
                size = sizeof(buffer);
            }
            usleep(1000);
        }
        state.SetIterationTime(static_cast<double>(NowNs() - killed) * 1e-9);
        if (!host) state.SkipWithError("no member became the host");
        state.PauseTiming();
        IDirectPlay3A* searcher = NewLocalDirectPlay();
        DPSESSIONDESC2 found{};
        while (!FindFirstSession(searcher, 500, &found) && NowNs() - killed < 10000000000) {}
        findable.push_back(static_cast<double>(NowNs() - killed) * 1e-9);
        searcher->Release();
        first->Release();
        second->Release();
        state.ResumeTiming();
    }
    std::sort(findable.begin(), findable.end());
    state.counters["findable_again_s"] = findable.empty() ? 0.0 : findable[findable.size() / 2];
}
BENCHMARK(BM_NewHostAfterHostDeath)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    PlatformOptions options;
    options.backend = "headless";
    options.dplayPort = 52000 + 32 * static_cast<int>(getpid() % 100);
    std::string error;
    if (!PlatformOpen(options, &error)) return 1;
    CoInitialize(nullptr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    CoUninitialize();
    PlatformClose();
    return 0;
}
