// Network packets of the session protocol: any datagram is decoded or
// refused; one that decodes must encode again to bytes that decode to the
// same packet (the round trip holds).
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/dplay/wire_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    wire::HasMagic(data, size);
    wire::Packet packet;
    if (!wire::Decode(data, size, &packet)) return 0;
    const std::vector<uint8_t> bytes = wire::Encode(packet);
    wire::Packet again;
    if (!wire::Decode(bytes.data(), bytes.size(), &again) || wire::Encode(again) != bytes) {
        std::fprintf(stderr, "a decoded packet does not survive encoding and decoding again\n");
        std::abort();
    }
    return 0;
}
