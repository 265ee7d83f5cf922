// The connection services DirectPlay offers, gathered for the choice.
#include <cstdlib>
#include <cstring>

#include "framework/dialog/diagnostics.h"
#include "framework/net/network.h"

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
