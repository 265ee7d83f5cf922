// One machine of a network session, driven line by line on standard input by
// the multi-process tests; it answers each command with lines on standard
// output. Platform options (--dplay-port, --dplay-search) come first; an
// argument app=HEX (the 16 bytes of a GUID as 32 hex digits) sets the
// application the sessions are for.
//   connect tcp|local            InitializeConnection      -> ok | error HR
//   search [ms]                  EnumSessions, all         -> session NAME CUR/MAX ... then end
//   host NAME MAX FLAGS          Open with DPOPEN_CREATE   -> ok | error HR
//   join NAME                    Open with DPOPEN_JOIN     -> ok | error HR
//   player NAME                  CreatePlayer              -> ok | error HR
//   players                      EnumPlayers               -> players N NAME... (sorted)
//   send TO|all g|u TEXT         Send from the own player  -> ok | error HR
//   flood TO|all COUNT [close]   COUNT guaranteed sends "1".."COUNT", then Close at once
//                                when asked -> ok
//   expect N MS                  Receive until N messages or MS passed, one line each:
//                                msg FROM TEXT | create NAME | destroy NAME | host | lost; then end
//   count                        GetMessageCount of the own player -> count N
//   dropped                      -> dropped N
//   close                        Close                     -> ok
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dplay/dplay.h"
#include "platform/dplay/monotonic_clock.h"
#include "platform/win/platform.h"
#include "tests/support/dplay_services.h"

namespace {

GUID gApplication = {0x1d2c3b4a, 0x5e6f, 0x7081, {0x92, 0xa3, 0xb4, 0xc5, 0xd6, 0xe7, 0xf8, 0x09}};

IDirectPlay3A* gPlay = nullptr;
DPID gPlayer = 0;
std::map<DPID, std::string> gNames;
std::vector<DPSESSIONDESC2> gFound;
std::vector<std::string> gFoundNames;

void Say(const std::string& line) { std::cout << line << std::endl; }

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08x", static_cast<unsigned>(hr));
    return text;
}

// The answer when the call succeeded, else its error.
void Report(HRESULT hr, const std::string& answer = "ok") { Say(hr == DP_OK ? answer : "error " + Hex(hr)); }

BOOL ListSession(const DPSESSIONDESC2* session, DWORD*, DWORD flags, void*) {
    if (flags & DPESC_TIMEDOUT) return FALSE;
    gFound.push_back(*session);
    gFoundNames.push_back(session->lpszSessionNameA);
    Say("session " + gFoundNames.back() + " " + std::to_string(session->dwCurrentPlayers) + "/" +
        std::to_string(session->dwMaxPlayers));
    return TRUE;
}

BOOL ListPlayer(DPID id, DWORD, const DPNAME* name, DWORD, void* context) {
    gNames[id] = name->lpszShortNameA;
    static_cast<std::vector<std::string>*>(context)->push_back(name->lpszShortNameA);
    return TRUE;
}

DPID PlayerNamed(const std::string& name) {
    std::vector<std::string> names;
    gPlay->EnumPlayers(nullptr, ListPlayer, &names, 0);
    for (const auto& [id, known] : gNames)
        if (known == name) return id;
    return DPID_UNKNOWN;
}

DPID Target(const std::string& to) { return to == "all" ? DPID_ALLPLAYERS : PlayerNamed(to); }

// Prints one received message; false when none is waiting.
bool ReceiveOne() {
    DPID from = 0, to = 0;
    std::vector<uint8_t> buffer(16);
    DWORD size = static_cast<DWORD>(buffer.size());
    HRESULT hr = gPlay->Receive(&from, &to, DPRECEIVE_ALL, buffer.data(), &size);
    if (hr == DPERR_BUFFERTOOSMALL) {
        buffer.resize(size);
        hr = gPlay->Receive(&from, &to, DPRECEIVE_ALL, buffer.data(), &size);
    }
    if (hr != DP_OK) return false;
    if (from != DPID_SYSMSG) {
        Say("msg " + gNames[from] + " " + std::string(buffer.begin(), buffer.begin() + size));
        return true;
    }
    const DWORD type = *reinterpret_cast<DWORD*>(buffer.data());
    if (type == DPSYS_CREATEPLAYERORGROUP) {
        const auto* m = reinterpret_cast<DPMSG_CREATEPLAYERORGROUP*>(buffer.data());
        gNames[m->dpId] = m->dpnName.lpszShortNameA;
        Say(std::string("create ") + m->dpnName.lpszShortNameA);
    } else if (type == DPSYS_DESTROYPLAYERORGROUP) {
        Say(std::string("destroy ") + reinterpret_cast<DPMSG_DESTROYPLAYERORGROUP*>(buffer.data())->dpnName.lpszShortNameA);
    } else if (type == DPSYS_HOST) {
        Say("host");
    } else if (type == DPSYS_SESSIONLOST) {
        Say("lost");
    }
    return true;
}

void Expect(int count, uint32_t ms) {
    const uint32_t start = MonotonicMs();
    for (int got = 0; got < count && MonotonicMs() - start < ms;) {
        if (ReceiveOne()) ++got;
        else usleep(1000);
    }
    Say("end");
}

void Run(const std::string& line) {
    std::istringstream in(line);
    std::string command, name;  // name: the command's first word, where it has one
    in >> command;
    if (command == "connect") {
        in >> name;
        Report(gPlay->InitializeConnection(ServiceConnection(gPlay, name == "tcp" ? "TCP/IP" : "Local machine").data(), 0));
    } else if (command == "search") {
        DWORD ms = 0;
        in >> ms;
        DPSESSIONDESC2 search{};
        search.dwSize = sizeof(search);
        search.guidApplication = gApplication;
        gFound.clear();
        gFoundNames.clear();
        Report(gPlay->EnumSessions(&search, ms, ListSession, nullptr, DPENUMSESSIONS_ALL), "end");
    } else if (command == "host") {
        DWORD max = 0, flags = 0;
        in >> name >> max >> std::hex >> flags;
        DPSESSIONDESC2 session{};
        session.dwSize = sizeof(session);
        session.dwFlags = flags;
        session.guidApplication = gApplication;
        session.dwMaxPlayers = max;
        session.lpszSessionNameA = name.data();
        Report(gPlay->Open(&session, DPOPEN_CREATE));
    } else if (command == "join") {
        in >> name;
        HRESULT hr = DPERR_NOSESSIONS;
        for (size_t i = 0; i < gFound.size(); ++i)
            if (gFoundNames[i] == name) hr = gPlay->Open(&gFound[i], DPOPEN_JOIN);
        Report(hr);
    } else if (command == "player") {
        in >> name;
        DPNAME dpName{sizeof(DPNAME), 0, name.data(), name.data()};
        const HRESULT hr = gPlay->CreatePlayer(&gPlayer, &dpName, nullptr, nullptr, 0, 0);
        if (hr == DP_OK) gNames[gPlayer] = name;
        Report(hr);
    } else if (command == "players") {
        std::vector<std::string> names;
        const HRESULT hr = gPlay->EnumPlayers(nullptr, ListPlayer, &names, 0);
        std::sort(names.begin(), names.end());
        std::string text = "players " + std::to_string(names.size());
        for (const std::string& n : names) text += " " + n;
        Report(hr, text);
    } else if (command == "send") {
        std::string to, kind, text;
        in >> to >> kind;
        std::getline(in >> std::ws, text);
        Report(gPlay->Send(gPlayer, Target(to), kind == "g" ? DPSEND_GUARANTEED : 0, text.data(),
                           static_cast<DWORD>(text.size())));
    } else if (command == "flood") {
        std::string to, then;
        int count = 0;
        in >> to >> count >> then;
        const DPID target = Target(to);
        HRESULT hr = DP_OK;
        for (int i = 1; i <= count && hr == DP_OK; ++i) {
            std::string text = std::to_string(i);
            hr = gPlay->Send(gPlayer, target, DPSEND_GUARANTEED, text.data(), static_cast<DWORD>(text.size()));
        }
        if (hr == DP_OK && then == "close") hr = gPlay->Close();
        Report(hr);
    } else if (command == "expect") {
        int count = 0;
        uint32_t ms = 0;
        in >> count >> ms;
        PlayerNamed("");
        Expect(count, ms);
    } else if (command == "count") {
        DWORD count = 0;
        const HRESULT hr = gPlay->GetMessageCount(gPlayer, &count);
        Report(hr, "count " + std::to_string(count));
    } else if (command == "dropped") {
        Say("dropped " + std::to_string(DirectPlayDroppedPackets(gPlay)));
    } else if (command == "close") {
        Report(gPlay->Close());
    } else {
        Say("unknown " + command);
    }
}

}  // namespace

int main(int argc, char** argv) {
    PlatformOptions options;
    options.backend = "headless";
    std::string error;
    if (!ParsePlatformOptions(&argc, argv, &options, &error) || !PlatformOpen(options, &error)) {
        std::cerr << error << "\n";
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto* bytes = reinterpret_cast<uint8_t*>(&gApplication);
        if (arg.rfind("app=", 0) == 0 && arg.size() == 4 + 2 * sizeof(GUID))
            for (size_t b = 0; b < sizeof(GUID); ++b) bytes[b] = static_cast<uint8_t>(std::stoul(arg.substr(4 + 2 * b, 2), nullptr, 16));
    }
    CoInitialize(nullptr);
    if (CoCreateInstance(CLSID_DirectPlay, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectPlay3A,
                         reinterpret_cast<void**>(&gPlay)) != S_OK)
        return 3;
    for (std::string line; std::getline(std::cin, line) && line != "quit";) Run(line);
    gPlay->Release();
    CoUninitialize();
    PlatformClose();
    return 0;
}
