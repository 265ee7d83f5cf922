// Choosing and initialising the connection service from those DirectPlay
// offers.
#include <cstdlib>
#include <cstring>

#include "framework/dialog/diagnostics.h"
#include "framework/net/choice_tables.h"
#include "framework/net/network.h"
#include "framework/net/selection_screen.h"

namespace {

int InitializeChosenConnection(int chosen) {
    if (chosen >= gNetwork.connectionCount) return 0;
    if (gNetwork.directPlay->InitializeConnection(gNetwork.connections[chosen], 0) >= 0) {
        DebugLog("Connection[%s]\n", gNetwork.connectionNames[chosen]);
        return 1;
    }
    if (ConfirmBox("接続に失敗しました。\n別の方法で接続しますか？") == IDYES) return SELECTION_WAIT_AGAIN;
    return 0;
}

}  // namespace

BOOL AddConnection(const GUID*, void* connection, DWORD connectionSize, const DPNAME* name, DWORD, void* context) {
    NetworkState* network = static_cast<NetworkState*>(context);
    if (network->connectionCount >= MAX_CONNECTIONS) {
        DebugLog("接続サービス数が%dを超えました\n", MAX_CONNECTIONS);
        return FALSE;
    }
    const int i = network->connectionCount;
    network->connections[i] = malloc(connectionSize);
    memcpy(network->connections[i], connection, connectionSize);
    const size_t nameSize = strlen(name->lpszShortNameA) + 1;
    network->connectionNames[i] = static_cast<char*>(malloc(nameSize));
    memcpy(network->connectionNames[i], name->lpszShortNameA, nameSize);
    network->connectionCount++;
    return TRUE;
}

int SelectConnection() {
    if (!CreateDirectPlay()) return 0;
    ClearChoiceTable(gNetwork.connections, gNetwork.connectionNames, &gNetwork.connectionCount);
    gNetwork.directPlay->EnumConnections(nullptr, AddConnection, &gNetwork, DPCONNECTION_DIRECTPLAY);
    if (gNetwork.connectionCount == 0) {
        ErrorBox("接続サービスが見つかりません");
        return 0;
    }
    const int result = RunSelectionScreen("接続方法を選択して下さい。", gNetwork.connectionCount,
                                          gNetwork.connectionNames, InitializeChosenConnection, 0);
    FreeChoiceTable(gNetwork.connections, gNetwork.connectionNames, &gNetwork.connectionCount);
    return result;
}
