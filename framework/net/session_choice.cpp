// How a session starts: choosing between joining and creating, the sessions
// a search found and the choice among them, and creating a session.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "framework/dialog/diagnostics.h"
#include "framework/net/choice_tables.h"
#include "framework/net/network.h"
#include "framework/net/selection_screen.h"

namespace {

int JoinChosenSession(int chosen) {
    if (chosen >= gNetwork.sessionCount) return 0;
    if (gNetwork.directPlay->Open(gNetwork.sessions[chosen], DPOPEN_JOIN) >= 0) {
        DebugLog("Session[%s]\n", gNetwork.sessionNames[chosen]);
        gNetwork.sessionOpen = 1;
        return 1;
    }
    if (ConfirmBox("接続に失敗しました。\n別のセッションを選択しますか？") == IDYES) return SELECTION_WAIT_AGAIN;
    return 0;
}

int ChosenStart(int chosen) { return chosen; }

}  // namespace

int ChooseSessionStart() {
    const char* const entries[] = {"既存のセッションに参加する", "新規にセッションを作成する"};
    return RunSelectionScreen("セッションの開始方法を選択して下さい。", static_cast<int>(std::size(entries)), entries,
                              ChosenStart, -1);
}

BOOL AddSession(const DPSESSIONDESC2* session, DWORD*, DWORD flags, void* context) {
    NetworkState* network = static_cast<NetworkState*>(context);
    if (network->sessionCount >= MAX_SESSIONS) {
        DebugLog("セッション数が%dを超えました\n", MAX_SESSIONS);
        return FALSE;
    }
    if (flags & DPESC_TIMEDOUT) {
        DebugLog("タイムアウトしました\n");
        return FALSE;
    }
    const int i = network->sessionCount;
    network->sessions[i] = static_cast<DPSESSIONDESC2*>(malloc(sizeof(DPSESSIONDESC2)));
    memcpy(network->sessions[i], session, sizeof(DPSESSIONDESC2));
    const size_t textSize = strlen(session->lpszSessionNameA) + 17;
    network->sessionNames[i] = static_cast<char*>(malloc(textSize));
    snprintf(network->sessionNames[i], textSize, "%s %d/%d", session->lpszSessionNameA,
             static_cast<int>(session->dwCurrentPlayers), static_cast<int>(session->dwMaxPlayers));
    network->sessionCount++;
    return TRUE;
}

int JoinSession() {
    if (gNetwork.sessionOpen) gNetwork.directPlay->Close();
    ClearChoiceTable(gNetwork.sessions, gNetwork.sessionNames, &gNetwork.sessionCount);
    DPSESSIONDESC2 search{};
    search.dwSize = sizeof(DPSESSIONDESC2);
    search.guidApplication = NETWORK_APPLICATION_GUID;
    gNetwork.directPlay->EnumSessions(&search, 0, AddSession, &gNetwork, DPENUMSESSIONS_ALL);
    if (gNetwork.sessionCount == 0) {
        ErrorBox("セッションが見つかりません");
        return 0;
    }
    const int result = RunSelectionScreen("セッションを選択して下さい。", gNetwork.sessionCount, gNetwork.sessionNames,
                                          JoinChosenSession, 0);
    FreeChoiceTable(gNetwork.sessions, gNetwork.sessionNames, &gNetwork.sessionCount);
    return result;
}

int CreateSession(const char* name, int maxPlayers) {
    if (gNetwork.sessionOpen) gNetwork.directPlay->Close();
    if (maxPlayers < 1 || maxPlayers > MAX_PLAYERS) maxPlayers = MAX_PLAYERS;
    DPSESSIONDESC2 session{};
    session.dwSize = sizeof(DPSESSIONDESC2);
    session.dwFlags = DPSESSION_KEEPALIVE | DPSESSION_MIGRATEHOST;
    session.guidApplication = NETWORK_APPLICATION_GUID;
    session.dwMaxPlayers = static_cast<DWORD>(maxPlayers);
    session.lpszSessionNameA = const_cast<char*>(name);
    if (gNetwork.directPlay->Open(&session, DPOPEN_CREATE) < 0) {
        ErrorBox("セッションの作成に失敗しました");
        return 0;
    }
    gNetwork.sessionOpen = 1;
    DebugLog("Session[%s]\n", name);
    return 1;
}
