// The session protocol spoken between machines, under ENet (guaranteed
// packets on channel 0, others on channel 1) and, for the session search, in
// plain UDP datagrams on the same ports.
//
// Every packet starts with an 8-byte header:
//   bytes 0-2  'K' 'D' 'P'
//   byte  3    protocol version, 1
//   byte  4    packet type (PacketType)
//   byte  5    0
//   bytes 6-7  length of the body that follows, little-endian; it must equal
//              the bytes actually received
// Numbers in the body are little-endian; a GUID is its 16 bytes as stored; a
// name is one length byte and that many bytes (at most 255, no zero byte).
//
//   EnumRequest     application GUID, request id u32
//   EnumReply       request id u32, session
//   JoinRequest     application GUID, session instance GUID, member id u32
//                   (0: a new member; else a member rejoining after the host left)
//   JoinRefused     reason u8 (JoinRefusal)
//   JoinAccepted    member id u32, host member id u32, session
//   MemberList      host member id u32, count u8 (at most MAX_MEMBERS), then per
//                   member: id u32, IPv4 address u32 (network order; 0: the
//                   host itself, reached at the address already used), port u16
//   PlayerCreated   announce u8 (1: tell the program; 0: an existing player sent
//                   to a newcomer), player id u32, owner member id u32, short
//                   name, long name. A member sends it to the host to ask for a player.
//   PlayerRefused   player id u32 (the session is full)
//   PlayerDestroyed player id u32
//   UserMessage     from player u32, to player u32 (0: all), data (the rest,
//                   at most MAX_USER_DATA bytes)
// where a session is: instance GUID, application GUID, flags u32, maximum
// players u32, current players u32, name.
//
// Decoding checks every length against the bytes received and demands that the
// packet ends exactly where its body does; anything else is malformed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/win/guid.h"

namespace wire {

constexpr uint8_t PROTOCOL_VERSION = 1;
constexpr size_t HEADER_SIZE = 8;
constexpr size_t MAX_BODY = 0xFFFF;
constexpr size_t MAX_NAME = 255;
constexpr size_t MAX_MEMBERS = 64;
constexpr size_t MAX_USER_DATA = MAX_BODY - 8;

enum class PacketType : uint8_t {
    EnumRequest = 1,
    EnumReply,
    JoinRequest,
    JoinRefused,
    JoinAccepted,
    MemberList,
    PlayerCreated,
    PlayerRefused,
    PlayerDestroyed,
    UserMessage,
};

enum class JoinRefusal : uint8_t { Full = 1, WrongSession = 2, NotHost = 3, Closed = 4 };

struct Session {
    GUID instance{};
    GUID application{};
    uint32_t flags = 0;
    uint32_t maxPlayers = 0;
    uint32_t currentPlayers = 0;
    std::string name;
};

struct EnumRequest {
    GUID application{};
    uint32_t requestId = 0;
};
struct EnumReply {
    uint32_t requestId = 0;
    Session session;
};
struct JoinRequest {
    GUID application{};
    GUID instance{};
    uint32_t memberId = 0;
};
struct JoinRefused {
    JoinRefusal reason = JoinRefusal::Full;
};
struct JoinAccepted {
    uint32_t memberId = 0;
    uint32_t hostMemberId = 0;
    Session session;
};
struct MemberEntry {
    uint32_t id = 0;
    uint32_t ipv4 = 0;  // network order
    uint16_t port = 0;
};
struct MemberList {
    uint32_t hostMemberId = 0;
    std::vector<MemberEntry> members;
};
struct PlayerCreated {
    uint8_t announce = 1;
    uint32_t id = 0;
    uint32_t owner = 0;
    std::string shortName, longName;
};
struct PlayerRefused {
    uint32_t id = 0;
};
struct PlayerDestroyed {
    uint32_t id = 0;
};
struct UserMessage {
    uint32_t from = 0, to = 0;
    std::vector<uint8_t> data;
};

using Packet = std::variant<EnumRequest, EnumReply, JoinRequest, JoinRefused, JoinAccepted, MemberList, PlayerCreated,
                            PlayerRefused, PlayerDestroyed, UserMessage>;

// The packet's bytes; names longer than MAX_NAME are cut, user data longer
// than MAX_USER_DATA must be refused by the caller.
std::vector<uint8_t> Encode(const Packet& packet);

// Reads one packet; false when the bytes are not exactly one well-formed
// packet of this protocol version.
bool Decode(const uint8_t* bytes, size_t size, Packet* packet);

// Whether a datagram claims to be ours (starts with the magic bytes); others
// on the same port are ENet's own.
bool HasMagic(const uint8_t* bytes, size_t size);

}  // namespace wire
