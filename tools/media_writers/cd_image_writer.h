// Audio CD images as a BIN file of raw sectors and the CUE sheet that
// describes its tracks, for the tests and the showcase.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// 16-bit stereo samples at 44,100 Hz, interleaved.
using CdTrackSamples = std::vector<int16_t>;

// Samples of a sine tone at the frequency, of seconds' length.
CdTrackSamples ToneSamples(double frequency, double seconds, int amplitude = 8000);

// Writes <folder>/<name>.bin and <folder>/<name>.cue; each track starts on a
// sector boundary (its last sector padded with silence). False when a file
// cannot be written.
bool WriteCdImage(const std::string& folder, const std::string& name, const std::vector<CdTrackSamples>& tracks);

// Sectors (1/75 s) each track takes in the image.
int CdSectorsOf(const CdTrackSamples& track);
