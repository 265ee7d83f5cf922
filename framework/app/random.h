// The program's random generator: 15-bit results (0..32767), the same
// sequence for the same seed on every platform.
#pragma once

#include <cstdint>

void SeedRandom(uint32_t seed);
int NextRandom();
