// The network record and the set-up of a networked session through
// DirectPlay: choosing the connection service, whether to join or create a
// session and which session to join (selection screens over the main window),
// creating a session, creating the local player and listing the players.
// Order of use: SelectConnection; ChooseSessionStart; JoinSession or
// CreateSession; CreatePlayer; EnumPlayers whenever the list is wanted.
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
// 1 when a connection service was chosen and initialised, else 0.
int SelectConnection();
// 0 join an existing session, 1 create a new one, 2 cancel; -1 when the
// message loop ended.
int ChooseSessionStart();
// 1 when a session found by the search was chosen and joined, else 0.
int JoinSession();
int CreateSession(const char* name, int maxPlayers);
int CreatePlayer(const char* name);
int EnumPlayers();

// DirectPlay's enumeration callbacks, called inside the enumerations above.
BOOL AddConnection(const GUID* serviceProvider, void* connection, DWORD connectionSize, const DPNAME* name,
                   DWORD flags, void* context);
BOOL AddSession(const DPSESSIONDESC2* session, DWORD* timeOut, DWORD flags, void* context);
BOOL AddPlayer(DPID player, DWORD playerType, const DPNAME* name, DWORD flags, void* context);
