// The TCP/IP and local-machine services: their names, connection data, the
// ports their sessions use and where their searches go.
#include "platform/dplay/connection_services.h"

#include <cstring>

#include "platform/win/platform.h"

namespace {

struct ServiceEntry {
    GUID guid;
    const char* name;
    ConnectionService service;
};

const ServiceEntry SERVICES[] = {
    {{0x6b7e0d41, 0x2c19, 0x4f0a, {0x9d, 0x31, 0x5e, 0x27, 0xa0, 0x44, 0x18, 0xc3}}, "TCP/IP", ConnectionService::TcpIp},
    {{0x6b7e0d42, 0x2c19, 0x4f0a, {0x9d, 0x31, 0x5e, 0x27, 0xa0, 0x44, 0x18, 0xc3}}, "Local machine",
     ConnectionService::LocalMachine},
};

DirectPlayAddressPrompt gPrompt = nullptr;

void AddPorts(uint32_t host, std::vector<ENetAddress>* targets) {
    const int first = GetPlatformOptions().dplayPort;
    for (int i = 0; i < SESSION_PORT_COUNT; ++i) targets->push_back(ENetAddress{host, static_cast<uint16_t>(first + i)});
}

// The address the TCP/IP search goes to: the option, else the user's answer.
std::string AskSearchAddress() {
    const PlatformOptions& options = GetPlatformOptions();
    if (options.dplaySearchGiven) return options.dplaySearch;
    char answer[256] = {};
    if (gPrompt) gPrompt(answer, sizeof(answer));
    answer[sizeof(answer) - 1] = '\0';
    return answer;
}

}  // namespace

void SetDirectPlayAddressPrompt(DirectPlayAddressPrompt prompt) { gPrompt = prompt; }

void EnumerateServices(LPDPENUMCONNECTIONSCALLBACK callback, void* context) {
    for (const ServiceEntry& s : SERVICES) {
        DPNAME name{sizeof(DPNAME), 0, const_cast<char*>(s.name), const_cast<char*>(s.name)};
        GUID connection = s.guid;
        if (!callback(&s.guid, &connection, sizeof(connection), &name, 0, context)) return;
    }
}

ConnectionService ServiceOfConnection(const void* connection) {
    if (!connection) return ConnectionService::None;
    GUID guid;
    std::memcpy(&guid, connection, sizeof(guid));
    for (const ServiceEntry& s : SERVICES)
        if (s.guid == guid) return s.service;
    return ConnectionService::None;
}

SessionPorts SessionPortsOf(ConnectionService service) {
    return SessionPorts{static_cast<uint16_t>(GetPlatformOptions().dplayPort), SESSION_PORT_COUNT,
                        service == ConnectionService::LocalMachine};
}

bool SearchTargetsOf(ConnectionService service, std::vector<ENetAddress>* targets) {
    targets->clear();
    ENetAddress address{};
    if (service == ConnectionService::LocalMachine) {
        enet_address_set_host_ip(&address, "127.0.0.1");
    } else {
        const std::string host = AskSearchAddress();
        if (host.empty()) address.host = ENET_HOST_BROADCAST;
        else if (enet_address_set_host(&address, host.c_str()) != 0) return false;
    }
    AddPorts(address.host, targets);
    return true;
}
