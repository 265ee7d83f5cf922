// Starting inputs of the sound, music, archive, model and dialog targets,
// written with the project's own writers: one folder per target under out.
#pragma once

#include <filesystem>

void WriteMediaSeeds(const std::filesystem::path& out);
