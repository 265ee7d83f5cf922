// The sequencer: a standard MIDI file played through a SoundFont synthesizer.
#pragma once

#include <memory>
#include <string>

#include "platform/mci/mci_device.h"

// The SoundFont used when no path is given: the first of the system's General
// MIDI sets that exists; empty when there is none.
std::string DefaultSoundFontPath();

// Opens the file; null with MCIERR_FILE_NOT_FOUND, MCIERR_INVALID_FILE,
// MCIERR_CANNOT_LOAD_DRIVER (no SoundFont) or MCIERR_DEVICE_OPEN (a song is
// already open) in *error.
std::unique_ptr<MciDevice> OpenSequencerDevice(const std::string& path, const std::string& soundFontPath,
                                               MCIERROR* error);
