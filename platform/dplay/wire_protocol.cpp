// Encoding and bounds-checked decoding of the session protocol's packets.
#include "platform/dplay/wire_protocol.h"

#include <algorithm>
#include <cstring>

namespace wire {

namespace {

constexpr uint8_t MAGIC[3] = {'K', 'D', 'P'};

class Writer {
public:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void Guid(const GUID& g) {
        const auto* p = reinterpret_cast<const uint8_t*>(&g);
        bytes_.insert(bytes_.end(), p, p + sizeof(GUID));
    }
    void Name(const std::string& name) {
        const size_t n = std::min(name.size(), MAX_NAME);
        U8(static_cast<uint8_t>(n));
        bytes_.insert(bytes_.end(), name.begin(), name.begin() + static_cast<std::ptrdiff_t>(n));
    }
    void Bytes(const std::vector<uint8_t>& data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    std::vector<uint8_t>& Result() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// Reads from a bounded span; every read fails once the span is exhausted and
// the reader stays failed.
class Reader {
public:
    Reader(const uint8_t* bytes, size_t size) : p_(bytes), left_(size) {}
    bool ok() const { return ok_; }
    bool AtEnd() const { return ok_ && left_ == 0; }
    uint8_t U8() {
        uint8_t v = 0;
        Take(&v, 1);
        return v;
    }
    uint16_t U16() {
        uint8_t b[2] = {};
        Take(b, 2);
        return static_cast<uint16_t>(b[0] | b[1] << 8);
    }
    uint32_t U32() {
        uint8_t b[4] = {};
        Take(b, 4);
        return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
               static_cast<uint32_t>(b[3]) << 24;
    }
    GUID Guid() {
        GUID g{};
        Take(&g, sizeof(GUID));
        return g;
    }
    std::string Name() {
        const size_t n = U8();
        std::string name(n, '\0');
        Take(name.data(), n);
        if (name.find('\0') != std::string::npos) ok_ = false;
        return ok_ ? name : std::string();
    }
    std::vector<uint8_t> Rest() {
        std::vector<uint8_t> data(p_, p_ + left_);
        p_ += left_;
        left_ = 0;
        return data;
    }

private:
    void Take(void* out, size_t n) {
        if (!ok_ || n > left_) {
            ok_ = false;
            return;
        }
        std::memcpy(out, p_, n);
        p_ += n;
        left_ -= n;
    }
    const uint8_t* p_;
    size_t left_;
    bool ok_ = true;
};

void Put(Writer& w, const Session& s) {
    w.Guid(s.instance);
    w.Guid(s.application);
    w.U32(s.flags);
    w.U32(s.maxPlayers);
    w.U32(s.currentPlayers);
    w.Name(s.name);
}

Session GetSession(Reader& r) {
    Session s;
    s.instance = r.Guid();
    s.application = r.Guid();
    s.flags = r.U32();
    s.maxPlayers = r.U32();
    s.currentPlayers = r.U32();
    s.name = r.Name();
    return s;
}

struct BodyWriter {
    Writer& w;
    void operator()(const EnumRequest& p) {
        w.Guid(p.application);
        w.U32(p.requestId);
    }
    void operator()(const EnumReply& p) {
        w.U32(p.requestId);
        Put(w, p.session);
    }
    void operator()(const JoinRequest& p) {
        w.Guid(p.application);
        w.Guid(p.instance);
        w.U32(p.memberId);
    }
    void operator()(const JoinRefused& p) { w.U8(static_cast<uint8_t>(p.reason)); }
    void operator()(const JoinAccepted& p) {
        w.U32(p.memberId);
        w.U32(p.hostMemberId);
        Put(w, p.session);
    }
    void operator()(const MemberList& p) {
        w.U32(p.hostMemberId);
        const size_t n = std::min(p.members.size(), MAX_MEMBERS);
        w.U8(static_cast<uint8_t>(n));
        for (size_t i = 0; i < n; ++i) {
            w.U32(p.members[i].id);
            w.U32(p.members[i].ipv4);
            w.U16(p.members[i].port);
        }
    }
    void operator()(const PlayerCreated& p) {
        w.U8(p.announce);
        w.U32(p.id);
        w.U32(p.owner);
        w.Name(p.shortName);
        w.Name(p.longName);
    }
    void operator()(const PlayerRefused& p) { w.U32(p.id); }
    void operator()(const PlayerDestroyed& p) { w.U32(p.id); }
    void operator()(const UserMessage& p) {
        w.U32(p.from);
        w.U32(p.to);
        w.Bytes(p.data);
    }
};

bool DecodeBody(PacketType type, Reader& r, Packet* packet) {
    switch (type) {
        case PacketType::EnumRequest: {
            EnumRequest p;
            p.application = r.Guid();
            p.requestId = r.U32();
            *packet = p;
            break;
        }
        case PacketType::EnumReply: {
            EnumReply p;
            p.requestId = r.U32();
            p.session = GetSession(r);
            *packet = p;
            break;
        }
        case PacketType::JoinRequest: {
            JoinRequest p;
            p.application = r.Guid();
            p.instance = r.Guid();
            p.memberId = r.U32();
            *packet = p;
            break;
        }
        case PacketType::JoinRefused: {
            const uint8_t reason = r.U8();
            if (reason < 1 || reason > 4) return false;
            *packet = JoinRefused{static_cast<JoinRefusal>(reason)};
            break;
        }
        case PacketType::JoinAccepted: {
            JoinAccepted p;
            p.memberId = r.U32();
            p.hostMemberId = r.U32();
            p.session = GetSession(r);
            *packet = p;
            break;
        }
        case PacketType::MemberList: {
            MemberList p;
            p.hostMemberId = r.U32();
            const size_t n = r.U8();
            if (n > MAX_MEMBERS) return false;
            for (size_t i = 0; i < n && r.ok(); ++i) {
                MemberEntry e;
                e.id = r.U32();
                e.ipv4 = r.U32();
                e.port = r.U16();
                p.members.push_back(e);
            }
            *packet = p;
            break;
        }
        case PacketType::PlayerCreated: {
            PlayerCreated p;
            p.announce = r.U8();
            p.id = r.U32();
            p.owner = r.U32();
            p.shortName = r.Name();
            p.longName = r.Name();
            if (p.announce > 1) return false;
            *packet = p;
            break;
        }
        case PacketType::PlayerRefused: *packet = PlayerRefused{r.U32()}; break;
        case PacketType::PlayerDestroyed: *packet = PlayerDestroyed{r.U32()}; break;
        case PacketType::UserMessage: {
            UserMessage p;
            p.from = r.U32();
            p.to = r.U32();
            if (r.ok()) p.data = r.Rest();
            *packet = std::move(p);
            break;
        }
        default: return false;
    }
    return r.AtEnd();
}

}  // namespace

std::vector<uint8_t> Encode(const Packet& packet) {
    Writer w;
    for (uint8_t m : MAGIC) w.U8(m);
    w.U8(PROTOCOL_VERSION);
    w.U8(static_cast<uint8_t>(packet.index() + 1));
    w.U8(0);
    w.U16(0);
    std::visit(BodyWriter{w}, packet);
    std::vector<uint8_t>& bytes = w.Result();
    const size_t body = bytes.size() - HEADER_SIZE;
    bytes[6] = static_cast<uint8_t>(body);
    bytes[7] = static_cast<uint8_t>(body >> 8);
    return std::move(bytes);
}

bool HasMagic(const uint8_t* bytes, size_t size) { return size >= 3 && std::memcmp(bytes, MAGIC, 3) == 0; }

bool Decode(const uint8_t* bytes, size_t size, Packet* packet) {
    if (!bytes || size < HEADER_SIZE || !HasMagic(bytes, size)) return false;
    if (bytes[3] != PROTOCOL_VERSION || bytes[5] != 0) return false;
    const size_t body = static_cast<size_t>(bytes[6]) | static_cast<size_t>(bytes[7]) << 8;
    if (body != size - HEADER_SIZE) return false;
    Reader r(bytes + HEADER_SIZE, body);
    return DecodeBody(static_cast<PacketType>(bytes[4]), r, packet);
}

}  // namespace wire
