// KBM pictures written for tests: the pixels laid out as the 24-bit bottom-up
// DIB the format describes, split into three byte planes and run-length
// coded, up to 8 repetitions of a 5-bit value per code byte.
#pragma once

#include <cstdint>
#include <vector>

// pixels: width x height colours 0x00RRGGBB, top row first. Only the high 5
// bits of each channel can be stored.
std::vector<uint8_t> EncodeKbm(int width, int height, const std::vector<uint32_t>& pixels);
