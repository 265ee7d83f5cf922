// The local player and the session's player list.
#include <cstring>

#include "framework/dialog/diagnostics.h"
#include "framework/net/network.h"

BOOL AddPlayer(DPID player, DWORD, const DPNAME* name, DWORD, void* context) {
    NetworkState* network = static_cast<NetworkState*>(context);
    if (network->playerCount >= MAX_PLAYERS) {
        DebugLog("プレイヤー数が%dを超えました\n", MAX_PLAYERS);
        return FALSE;
    }
    const int i = network->playerCount;
    network->playerIds[i] = player;
    strncpy(network->playerNames[i], name->lpszShortNameA, PLAYER_NAME_SIZE - 1);
    network->playerNames[i][PLAYER_NAME_SIZE - 1] = '\0';
    network->playerCount++;
    return TRUE;
}

int CreatePlayer(const char* name) {
    DPNAME playerName{};
    playerName.dwSize = sizeof(DPNAME);
    playerName.dwFlags = 0;
    playerName.lpszShortNameA = const_cast<char*>(name);
    playerName.lpszLongNameA = const_cast<char*>(name);
    if (gNetwork.directPlay->CreatePlayer(&gNetwork.playerId, &playerName, nullptr, nullptr, 0, 0) < 0) {
        ErrorBox("プレイヤーの作成に失敗しました");
        return 0;
    }
    return 1;
}

int EnumPlayers() {
    memset(gNetwork.playerIds, 0, sizeof(gNetwork.playerIds));
    memset(gNetwork.playerNames, 0, sizeof(gNetwork.playerNames));
    gNetwork.playerCount = 0;
    if (gNetwork.directPlay->EnumPlayers(nullptr, AddPlayer, &gNetwork, 0) < 0) {
        DebugLog("プレイヤーの列挙に失敗しました\n");
        return 0;
    }
    return 1;
}
