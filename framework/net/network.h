// The network record and the set-up of a networked session through
// DirectPlay: choosing a connection service, joining or creating a session,
// creating the local player and listing the players.
#pragma once

#include "platform/dplay/dplay.h"

constexpr int MAX_CONNECTIONS = 16;
constexpr int MAX_SESSIONS = 100;
constexpr int MAX_PLAYERS = 32;
constexpr int PLAYER_NAME_SIZE = 32;

// Every session this framework creates or looks for carries this application GUID.
extern const GUID NETWORK_APPLICATION_GUID;

struct NetworkState {
    IDirectPlay3A* directPlay;
    int sessionOpen;
    void* connections[MAX_CONNECTIONS];
    char* connectionNames[MAX_CONNECTIONS];
    int connectionCount;
    DPSESSIONDESC2* sessions[MAX_SESSIONS];
    char* sessionNames[MAX_SESSIONS];
    int sessionCount;
    DPID playerId;
    DPID playerIds[MAX_PLAYERS];
    char playerNames[MAX_PLAYERS][PLAYER_NAME_SIZE];
    int playerCount;

    // Initialises COM for the process; the destructor closes the session,
    // releases DirectPlay and uninitialises COM.
    NetworkState();
    ~NetworkState();
};

extern NetworkState gNetwork;

int CreateDirectPlay();
int SelectConnection();
int ChooseSessionStart();
int JoinSession();
int CreateSession(const char* name, int maxPlayers);
int CreatePlayer(const char* name);
int EnumPlayers();

// DirectPlay's enumeration callbacks, called inside the enumerations above.
BOOL AddConnection(const GUID* serviceProvider, void* connection, DWORD connectionSize, const DPNAME* name,
                   DWORD flags, void* context);
BOOL AddSession(const DPSESSIONDESC2* session, DWORD* timeOut, DWORD flags, void* context);
BOOL AddPlayer(DPID player, DWORD playerType, const DPNAME* name, DWORD flags, void* context);
