// What each MCI device does for the command layer. Time inside the devices is
// counted in sample frames at MEDIA_RATE; each device reads and writes
// positions in its own time format.
#pragma once

#include <cstdint>
#include <string>

#include "platform/mci/mci.h"
#include "platform/mci/mci_command.h"

constexpr int MEDIA_RATE = 44100;

class MciDevice {
public:
    virtual ~MciDevice() = default;

    // Positions as the device's time format writes them (milliseconds, or
    // minutes:seconds:frames on a CD).
    virtual bool ParsePosition(const std::string& text, int64_t* frame) const;
    virtual std::string FormatPosition(int64_t frame) const;
    // Where playing may start and must end.
    virtual int64_t Start() const { return 0; }
    virtual int64_t Length() const = 0;

    // Commands and status items only this kind of device knows; the words it
    // used are taken out of the command. An MCI error, or 0 with the answer set.
    virtual MCIERROR Status(const std::string& item, MciCommand* command, std::string* answer);
    virtual MCIERROR Special(MciCommand* command);

    // Audio from the audio cursor on, 16-bit stereo at MEDIA_RATE; Seek moves
    // the cursor (and clears sounding notes). Devices without sound give silence.
    virtual void Seek(int64_t frame) = 0;
    virtual void RenderAudio(int16_t* stereo, int frames) = 0;
    // The picture due at this position (movies).
    virtual void Show(int64_t) {}
    // Playing stopped: let nothing go on sounding.
    virtual void Halt() {}
};
