// A linear congruential generator with 15-bit output. Linux's rand() returns
// 31 bits, which would change every formula built on the 0..32767 range.
#include "framework/app/random.h"

namespace {

uint32_t gRandomState = 1;

}  // namespace

void SeedRandom(uint32_t seed) { gRandomState = seed; }

int NextRandom() {
    gRandomState = gRandomState * 214013u + 2531011u;
    return static_cast<int>((gRandomState >> 16) & 0x7FFF);
}
