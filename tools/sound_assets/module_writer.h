// A four-channel tracker module ("M.K." format) written from our own
// samples and notes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ModuleSample {
    std::string name;
    std::vector<int8_t> data;  // even length, at most 128 KB
    int volume = 64;
    int loopStart = 0;         // bytes, even
    int loopLength = 0;        // bytes, even; 0: plays once
};

struct ModuleNote {
    int sample = 0;   // 1-based, 0: none
    int period = 0;   // Amiga period, 0: none
    int effect = 0;
    int parameter = 0;
};

struct Module {
    std::string title;
    std::vector<ModuleSample> samples;                  // up to 31
    std::vector<std::vector<ModuleNote>> patterns;      // each 64 rows x 4 channels
    std::vector<int> order;
};

std::vector<uint8_t> EncodeModule(const Module& module);

// The Amiga period of a note: octave 1..3, semitone 0 (C) .. 11 (B).
int NotePeriod(int octave, int semitone);
