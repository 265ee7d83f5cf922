// The sessions a search found, gathered for the choice, and creating a session.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/dialog/diagnostics.h"
#include "framework/net/network.h"

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
