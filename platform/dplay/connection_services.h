// The connection services DirectPlay offers here. Their connection data is
// the service's GUID (16 bytes), opaque to programs.
//
// "TCP/IP": sessions listen on every interface. InitializeConnection asks for
//   the address of the machine to search (the program's address prompt, or
//   the --dplay-search platform option, which is never asked about); an empty
//   answer searches the local network by broadcast.
// "Local machine": sessions listen on the loopback interface and the search
//   asks the loopback address only; nothing leaves this machine.
// Both search the session ports --dplay-port .. --dplay-port + 31 (47624 by
// default) of the chosen address; sessions take the first free one.
#pragma once

#include <enet/enet.h>

#include <string>
#include <vector>

#include "platform/dplay/dplay.h"
#include "platform/dplay/session_node.h"

enum class ConnectionService { None, TcpIp, LocalMachine };

constexpr int SESSION_PORT_COUNT = 32;

// Calls the callback for each service; stops when it answers FALSE.
void EnumerateServices(LPDPENUMCONNECTIONSCALLBACK callback, void* context);

// The service a program's connection data names (None for anything else).
ConnectionService ServiceOfConnection(const void* connection);

// The ports this machine's sessions listen on for a service.
SessionPorts SessionPortsOf(ConnectionService service);

// Where the search for a service goes; false when the address the user gave
// does not resolve.
bool SearchTargetsOf(ConnectionService service, std::vector<ENetAddress>* targets);
