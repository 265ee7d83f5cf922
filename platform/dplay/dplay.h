// The DirectPlay interface the framework calls (IDirectPlay3A, made through
// COM), served over UDP with ENet: two connection services, a synchronous
// session search, sessions with keep-alive and host migration, players and
// their messages. Names, flags and results are DirectPlay's; the wire protocol
// is this layer's own (wire_protocol.h). Pointers make DPNAME and
// DPSESSIONDESC2 larger on 64-bit systems than the 16 and 80 bytes they have
// on 32-bit ones; dwSize carries sizeof either way.
#pragma once

#include <cstdint>

#include "platform/win/guid.h"
#include "platform/win/win.h"

using ULONG = uint32_t;
using HANDLE = void*;
using DPID = DWORD;

// COM as far as the framework uses it (com.cpp).
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

struct IUnknown;
extern const GUID CLSID_DirectPlay;
extern const GUID IID_IDirectPlay3A;

HRESULT CoInitialize(void* reserved);
void CoUninitialize();
HRESULT CoCreateInstance(const GUID& classId, IUnknown* outer, DWORD context, const GUID& interfaceId, void** object);

// Results.
constexpr HRESULT MakeDpResult(unsigned code) { return static_cast<HRESULT>(0x88770000u | code); }
constexpr HRESULT DP_OK = 0;
constexpr HRESULT DPERR_ALREADYINITIALIZED = MakeDpResult(5);
constexpr HRESULT DPERR_BUFFERTOOSMALL = MakeDpResult(30);
constexpr HRESULT DPERR_CANTCREATEPLAYER = MakeDpResult(60);
constexpr HRESULT DPERR_CANTCREATESESSION = MakeDpResult(70);
constexpr HRESULT DPERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DPERR_INVALIDFLAGS = MakeDpResult(120);
constexpr HRESULT DPERR_INVALIDOBJECT = MakeDpResult(130);
constexpr HRESULT DPERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DPERR_INVALIDPLAYER = MakeDpResult(150);
constexpr HRESULT DPERR_NOCONNECTION = MakeDpResult(170);
constexpr HRESULT DPERR_NOMESSAGES = MakeDpResult(190);
constexpr HRESULT DPERR_NOSESSIONS = MakeDpResult(220);
constexpr HRESULT DPERR_SENDTOOBIG = MakeDpResult(230);
constexpr HRESULT DPERR_TIMEOUT = MakeDpResult(240);
constexpr HRESULT DPERR_UNAVAILABLE = MakeDpResult(250);
constexpr HRESULT DPERR_SESSIONLOST = MakeDpResult(310);
constexpr HRESULT DPERR_UNINITIALIZED = MakeDpResult(320);
constexpr HRESULT DPERR_NONEWPLAYERS = MakeDpResult(330);
constexpr HRESULT DPERR_USERCANCEL = MakeDpResult(280);

// Special player ids.
constexpr DPID DPID_SYSMSG = 0;
constexpr DPID DPID_ALLPLAYERS = 0;
constexpr DPID DPID_UNKNOWN = 0xFFFFFFFFu;

// Flags.
constexpr DWORD DPCONNECTION_DIRECTPLAY = 0x1;
constexpr DWORD DPSESSION_NEWPLAYERSDISABLED = 0x1;
constexpr DWORD DPSESSION_MIGRATEHOST = 0x4;
constexpr DWORD DPSESSION_JOINDISABLED = 0x20;
constexpr DWORD DPSESSION_KEEPALIVE = 0x40;
constexpr DWORD DPENUMSESSIONS_AVAILABLE = 0x1;
constexpr DWORD DPENUMSESSIONS_ALL = 0x2;
constexpr DWORD DPESC_TIMEDOUT = 0x1;
constexpr DWORD DPOPEN_JOIN = 0x1;
constexpr DWORD DPOPEN_CREATE = 0x2;
constexpr DWORD DPSEND_GUARANTEED = 0x1;
constexpr DWORD DPRECEIVE_ALL = 0x1;
constexpr DWORD DPRECEIVE_TOPLAYER = 0x2;
constexpr DWORD DPRECEIVE_FROMPLAYER = 0x4;
constexpr DWORD DPRECEIVE_PEEK = 0x8;
constexpr DWORD DPPLAYERTYPE_PLAYER = 0x1;
constexpr DWORD DPENUMPLAYERS_LOCAL = 0x8;

// System messages (from DPID_SYSMSG), each starting with its dwType.
constexpr DWORD DPSYS_CREATEPLAYERORGROUP = 0x0003;
constexpr DWORD DPSYS_DESTROYPLAYERORGROUP = 0x0005;
constexpr DWORD DPSYS_SESSIONLOST = 0x0031;
constexpr DWORD DPSYS_HOST = 0x0101;

struct DPNAME {
    DWORD dwSize;
    DWORD dwFlags;
    char* lpszShortNameA;
    char* lpszLongNameA;
};

struct DPSESSIONDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    GUID guidInstance;
    GUID guidApplication;
    DWORD dwMaxPlayers;
    DWORD dwCurrentPlayers;
    char* lpszSessionNameA;
    char* lpszPasswordA;
    DWORD dwReserved1;
    DWORD dwReserved2;
    DWORD dwUser1, dwUser2, dwUser3, dwUser4;
};

// A player joined: its id and names; the names point into the message.
struct DPMSG_CREATEPLAYERORGROUP {
    DWORD dwType;
    DWORD dwPlayerType;
    DPID dpId;
    DWORD dwCurrentPlayers;
    void* lpData;
    DWORD dwDataSize;
    DPNAME dpnName;
    DPID dpIdParent;
    DWORD dwFlags;
};

// A player left (or vanished with its machine).
struct DPMSG_DESTROYPLAYERORGROUP {
    DWORD dwType;
    DWORD dwPlayerType;
    DPID dpId;
    void* lpLocalData;
    DWORD dwLocalDataSize;
    void* lpRemoteData;
    DWORD dwRemoteDataSize;
    DPNAME dpnName;
    DPID dpIdParent;
    DWORD dwFlags;
};

// This machine became the session's host; the session was lost.
struct DPMSG_GENERIC {
    DWORD dwType;
};

using LPDPENUMCONNECTIONSCALLBACK = BOOL (*)(const GUID* serviceProvider, void* connection, DWORD connectionSize,
                                             const DPNAME* name, DWORD flags, void* context);
using LPDPENUMSESSIONSCALLBACK2 = BOOL (*)(const DPSESSIONDESC2* session, DWORD* timeOut, DWORD flags, void* context);
using LPDPENUMPLAYERSCALLBACK2 = BOOL (*)(DPID player, DWORD playerType, const DPNAME* name, DWORD flags,
                                          void* context);

struct IUnknown {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

struct IDirectPlay3A : IUnknown {
    virtual HRESULT Close() = 0;
    virtual HRESULT CreatePlayer(DPID* player, DPNAME* name, HANDLE event, void* data, DWORD dataSize,
                                 DWORD flags) = 0;
    virtual HRESULT DestroyPlayer(DPID player) = 0;
    virtual HRESULT EnumConnections(const GUID* application, LPDPENUMCONNECTIONSCALLBACK callback, void* context,
                                    DWORD flags) = 0;
    virtual HRESULT EnumPlayers(GUID* instance, LPDPENUMPLAYERSCALLBACK2 callback, void* context, DWORD flags) = 0;
    virtual HRESULT EnumSessions(DPSESSIONDESC2* session, DWORD timeOut, LPDPENUMSESSIONSCALLBACK2 callback,
                                 void* context, DWORD flags) = 0;
    virtual HRESULT GetMessageCount(DPID player, DWORD* count) = 0;
    virtual HRESULT InitializeConnection(void* connection, DWORD flags) = 0;
    virtual HRESULT Open(DPSESSIONDESC2* session, DWORD flags) = 0;
    virtual HRESULT Receive(DPID* from, DPID* to, DWORD flags, void* data, DWORD* dataSize) = 0;
    virtual HRESULT Send(DPID from, DPID to, DWORD flags, void* data, DWORD dataSize) = 0;

protected:
    ~IDirectPlay3A() = default;
};

// The TCP/IP service asks the user for the address of the machine to search
// (an empty answer searches the local network). The framework installs the
// question, which it asks with its own input dialog; without one, or when the
// program was started with a search address, nothing is asked.
using DirectPlayAddressPrompt = void (*)(char* address, int size);
void SetDirectPlayAddressPrompt(DirectPlayAddressPrompt prompt);

// Packets from the network that this object dropped because they were
// malformed, came from the wrong peer or broke the protocol.
uint64_t DirectPlayDroppedPackets(IDirectPlay3A* directPlay);
