// Network sessions: N hosts or joins a session through the selection
// screens (connection service, join or create, the session found). Then every
// machine sends its pointer 60 times a second; each screen draws every
// player's pointer and name, the round trip to each other machine, and which
// machine is the host, which moves on to another machine when the host leaves.
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "examples/showcase/showcase.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/input/input.h"
#include "framework/net/network.h"

namespace {

// The page's one message, 12 bytes without padding.
struct PageMessage {
    uint16_t kind;
    uint16_t fromHost;  // POINTER_MESSAGE: the sender is the session's host
    int16_t x, y;       // POINTER_MESSAGE: where the sender's pointer is
    uint32_t sentAt;    // PING_MESSAGE, PONG_MESSAGE: the pinger's clock when it asked
};
enum : uint16_t { POINTER_MESSAGE = 1, PING_MESSAGE = 2, PONG_MESSAGE = 3 };

struct PlayerView {
    DPID id;
    int x, y;
    int roundTripMs;  // -1 until measured
    bool host;
};

constexpr int LOG_LINES = 6;
constexpr int PING_EVERY = 30;  // frames
constexpr int SESSION_PLAYERS = 8;

bool gInSession = false;
bool gHost = false;
PlayerView gViews[MAX_PLAYERS];
char gLog[LOG_LINES][64];

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
    memmove(gLog[1], gLog[0], sizeof(gLog[0]) * (LOG_LINES - 1));
    va_list args;
    va_start(args, format);
    vsnprintf(gLog[0], sizeof(gLog[0]), format, args);
    va_end(args);
}

PlayerView* ViewOf(DPID id) {
    for (int i = 0; i < gNetwork.playerCount; ++i)
        if (gViews[i].id == id) return &gViews[i];
    return nullptr;
}

// The player list again, keeping what is known of the players still there.
void RefreshPlayers() {
    PlayerView known[MAX_PLAYERS];
    const int knownCount = gNetwork.playerCount;
    memcpy(known, gViews, sizeof(known));
    EnumPlayers();
    for (int i = 0; i < gNetwork.playerCount; ++i) {
        gViews[i] = PlayerView{gNetwork.playerIds[i], 320, 240, -1, false};
        for (int k = 0; k < knownCount; ++k)
            if (known[k].id == gViews[i].id) gViews[i] = known[k];
    }
}

// Connection, start and session screens; then the local player.
void StartSession() {
    if (!SelectConnection()) return;
    const int start = ChooseSessionStart();
    const bool opened = start == 1 ? CreateSession("Showcase", SESSION_PLAYERS) : start == 0 && JoinSession();
    if (!opened) return;
    char name[32];
    snprintf(name, sizeof(name), "Player %d", static_cast<int>(getpid() % 1000));
    if (!CreatePlayer(name)) return;
    gInSession = true;
    gHost = start == 1;
    Log(gHost ? "hosting as %s" : "joined as %s", name);
    RefreshPlayers();
}

void Send(DPID to, const PageMessage& message, DWORD flags) {
    PageMessage copy = message;
    gNetwork.directPlay->Send(gNetwork.playerId, to, flags, &copy, sizeof(copy));
}

const char* NameIn(const DPNAME& name) { return name.lpszShortNameA ? name.lpszShortNameA : "?"; }

void OnSystemMessage(const std::vector<uint8_t>& data) {
    DWORD type;
    memcpy(&type, data.data(), sizeof(type));
    if (type == DPSYS_CREATEPLAYERORGROUP) {
        Log("%s came in", NameIn(reinterpret_cast<const DPMSG_CREATEPLAYERORGROUP*>(data.data())->dpnName));
    } else if (type == DPSYS_DESTROYPLAYERORGROUP) {
        Log("%s left", NameIn(reinterpret_cast<const DPMSG_DESTROYPLAYERORGROUP*>(data.data())->dpnName));
    } else if (type == DPSYS_HOST) {
        gHost = true;
        Log("this machine is the host now");
    } else if (type == DPSYS_SESSIONLOST) {
        gInSession = false;
        Log("the session was lost");
        return;
    }
    RefreshPlayers();
}

void OnPlayerMessage(DPID from, const PageMessage& message) {
    PlayerView* view = ViewOf(from);
    if (message.kind == POINTER_MESSAGE && view) {
        view->x = message.x;
        view->y = message.y;
        view->host = message.fromHost != 0;
    } else if (message.kind == PING_MESSAGE) {
        Send(from, PageMessage{PONG_MESSAGE, 0, 0, 0, message.sentAt}, 0);
    } else if (message.kind == PONG_MESSAGE && view) {
        view->roundTripMs = static_cast<int>(timeGetTime() - message.sentAt);
    }
}

void ReceiveMessages() {
    static std::vector<uint8_t> data(1024);
    for (;;) {
        DPID from = 0, to = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const HRESULT result = gNetwork.directPlay->Receive(&from, &to, DPRECEIVE_ALL, data.data(), &size);
        if (result == DPERR_BUFFERTOOSMALL) {
            data.resize(size);
            continue;
        }
        if (result != DP_OK) return;
        if (from == DPID_SYSMSG) {
            OnSystemMessage(data);
            if (!gInSession) return;
        } else if (size == sizeof(PageMessage)) {
            PageMessage message;
            memcpy(&message, data.data(), sizeof(message));
            OnPlayerMessage(from, message);
        }
    }
}

void DrawPlayers() {
    for (int i = 0; i < gNetwork.playerCount; ++i) {
        const PlayerView& view = gViews[i];
        const bool mine = view.id == gNetwork.playerId;
        const int x = mine ? MouseX() : view.x, y = mine ? MouseY() : view.y;
        const uint32_t color = mine ? RGB(255, 255, 0) : RGB(120, 220, 255);
        DrawLine(x - 10, y, x + 11, y, color);
        DrawLine(x, y - 10, x, y + 11, color);
        const char* host = (mine ? gHost : view.host) ? " (host)" : "";
        if (mine || view.roundTripMs < 0) PrintText(x + 8, y + 6, "%s%s", gNetwork.playerNames[i], host);
        else PrintText(x + 8, y + 6, "%s%s  %d ms", gNetwork.playerNames[i], host, view.roundTripMs);
    }
}

void NetworkFrame(int frameInPage) {
    DrawBackdrop();
    if (!gInSession && KeyState('N') == KEY_PRESSED) StartSession();
    if (gInSession) ReceiveMessages();  // may find the session lost
    if (gInSession) {
        Send(DPID_ALLPLAYERS,
             PageMessage{POINTER_MESSAGE, gHost, static_cast<int16_t>(MouseX()), static_cast<int16_t>(MouseY()), 0},
             0);
        if (frameInPage % PING_EVERY == 0)
            Send(DPID_ALLPLAYERS, PageMessage{PING_MESSAGE, 0, 0, 0, timeGetTime()}, DPSEND_GUARANTEED);
        PrintText(16, 36, "%d players; this machine %s", gNetwork.playerCount, gHost ? "is the host" : "is a member");
        DrawPlayers();
    } else {
        PrintText(16, 36, "N: host or join a session (connection, start and session screens)");
        PrintText(16, 56, "Start the showcase twice, host in one and join from the other;");
        PrintText(16, 76, "close the host and the session moves on to the other machine.");
    }
    for (int i = 0; i < LOG_LINES; ++i) PrintText(16, 340 + 20 * i, "%s", gLog[i]);
}

}  // namespace

const ShowcasePage kNetworkPage = {"Network sessions", nullptr, NetworkFrame};
