// Starting inputs of the sound, music, archive, model and dialog targets,
// written with the project's own writers: one folder per target under out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

void WriteMediaSeeds(const std::filesystem::path& out);

// Writes a seed file, making its folder first.
void WriteSeed(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
