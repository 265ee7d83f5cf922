// Network sessions: the user chooses a connection service, whether to join a
// session or create one, and which session to join; the program then creates
// its player, greets the others every second with a guaranteed message and
// shows who is in the session and what arrived. Start it on two machines (or
// twice, choosing "Local machine"): create in one, join from the other.
#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/app/app.h"
#include "framework/draw/gdi_draw.h"
#include "framework/net/network.h"

namespace {

int gFrames = 0;
char gLastMessage[64] = "(nothing yet)";

// The selection screens in their order of use.
int SetUpSession() {
    if (!SelectConnection()) return 0;  // "TCP/IP" asks for the host address first
    switch (ChooseSessionStart()) {
        case 0: return JoinSession() && CreatePlayer("joiner");  // the sessions found, as "Name 2/8"
        case 1: return CreateSession("Example", 8) && CreatePlayer("creator");
        default: return 0;  // the cancel entry, or the program is ending
    }
}

void Init() {
    if (!SetUpSession()) RequestQuit();
}

// A player's message: any bytes, shown as text.
void ShowMessage(const char* data, size_t size) {
    const size_t length = std::min(size, sizeof(gLastMessage) - 1);
    std::memcpy(gLastMessage, data, length);
    gLastMessage[length] = '\0';
}

// Every waiting message: system messages come from DPID_SYSMSG.
void ReceiveMessages() {
    static std::vector<char> data(1024);
    for (;;) {
        DPID from = 0, to = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const HRESULT result = gNetwork.directPlay->Receive(&from, &to, DPRECEIVE_ALL, data.data(), &size);
        if (result == DPERR_BUFFERTOOSMALL) data.resize(size);  // size says how much it needs
        else if (result != DP_OK) return;
        else if (from == DPID_SYSMSG) EnumPlayers();  // someone came or left, or the host moved
        else ShowMessage(data.data(), size);
    }
}

void Frame() {
    ReceiveMessages();
    if (++gFrames % 20 == 0) {
        char hello[] = "hello";
        gNetwork.directPlay->Send(gNetwork.playerId, DPID_ALLPLAYERS, DPSEND_GUARANTEED, hello, sizeof(hello));
        EnumPlayers();
    }
    ClearScreen(RGB(0, 0, 0));
    for (int i = 0; i < gNetwork.playerCount; ++i) PrintText(16, 16 + 20 * i, "%s", gNetwork.playerNames[i]);
    PrintText(16, 400, "last message: %s", gLastMessage);
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.appInit = Init;
    config.frameProc = Frame;
    return config;
}();
