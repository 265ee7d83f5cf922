// The cdaudio device: an audio CD in the machine's drive, or a disc image.
#pragma once

#include <memory>
#include <string>

#include "platform/mci/mci_device.h"

// Opens the disc image at imagePath (CUE/BIN and the other images the CD
// library reads) or, with no path, the default drive. Null with
// MCIERR_HARDWARE (no drive, unreadable image) or MCIERR_DEVICE_NOT_READY (no
// disc, no audio tracks) in *error.
std::unique_ptr<MciDevice> OpenCdAudioDevice(const std::string& imagePath, MCIERROR* error);
