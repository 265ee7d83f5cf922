// Movies: any file the video decoder opens (AVI, MPEG, ...), shown in a window
// of the program scaled into its client area with the aspect kept, and its
// sound played with it.
#pragma once

#include <memory>
#include <string>

#include "platform/mci/mci_device.h"

// Null with MCIERR_FILE_NOT_FOUND or MCIERR_INVALID_FILE in *error.
std::unique_ptr<MciDevice> OpenMovieDevice(const std::string& path, MCIERROR* error);
