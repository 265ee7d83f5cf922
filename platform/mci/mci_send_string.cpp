// mciSendStringA: the table of open devices by alias, the commands every
// device shares (open, play, stop, close, status) and the playing clock. A
// playing device's position is the clock's time since it started; when it
// reaches the end of what it was asked to play it stops and, if asked,
// reports MCI_NOTIFY_SUCCESSFUL to the callback window.
#include "platform/mci/mci.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/mci/cd_audio_device.h"
#include "platform/mci/media_audio.h"
#include "platform/mci/movie_device.h"
#include "platform/mci/sequencer_device.h"
#include "platform/win/platform.h"

namespace {

struct OpenDevice {
    std::string alias;  // lower case
    UINT id = 0;
    std::unique_ptr<MciDevice> device;
    MediaAudioStream audio;  // declared after the device: it stops before the device goes
    bool playing = false;
    int64_t position = 0;     // frames, while stopped; the start of this run while playing
    int64_t to = 0;           // where this run ends
    DWORD startClock = 0;     // the clock when this run started
    HWND notifyWindow = nullptr;
};

std::vector<std::unique_ptr<OpenDevice>>& gDevices = *new std::vector<std::unique_ptr<OpenDevice>>;
UINT gNextId = 1;

std::string Lower(std::string word) {
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word;
}

OpenDevice* FindDevice(const std::string& alias) {
    const std::string key = Lower(alias);
    for (auto& open : gDevices)
        if (open->alias == key) return open.get();
    return nullptr;
}

void Notify(OpenDevice* open, WPARAM code) {
    if (!open->notifyWindow) return;
    PostMessageA(open->notifyWindow, MM_MCINOTIFY, code, static_cast<LPARAM>(open->id));
    open->notifyWindow = nullptr;
}

int64_t FramesSince(DWORD startClock) {
    return static_cast<int64_t>(static_cast<DWORD>(timeGetTime() - startClock)) * MEDIA_RATE / 1000;
}

int64_t CurrentPosition(const OpenDevice& open) {
    if (!open.playing) return open.position;
    return std::min(open.to, open.position + FramesSince(open.startClock));
}

// Brings one device to the clock: audio, picture, and the end of the run.
void Update(OpenDevice* open) {
    if (!open->playing) return;
    const int64_t now = CurrentPosition(*open);
    open->device->Show(now);
    if (now >= open->to) {
        open->position = open->to;
        open->playing = false;
        open->audio.Stop();
        open->device->Halt();
        Notify(open, MCI_NOTIFY_SUCCESSFUL);
    }
}

void StopPlaying(OpenDevice* open) {
    if (!open->playing) return;
    open->position = CurrentPosition(*open);
    open->playing = false;
    open->audio.Stop();
    open->device->Halt();
}

MCIERROR Answer(const std::string& text, char* returnString, UINT returnLength) {
    if (!returnString || returnLength == 0) return 0;
    const size_t copied = std::min<size_t>(text.size(), returnLength - 1);
    std::memcpy(returnString, text.data(), copied);
    returnString[copied] = '\0';
    return copied < text.size() ? MCIERR_PARAM_OVERFLOW : 0;
}

bool IsCdName(const std::string& name) { return Lower(name) == "cdaudio"; }

// The device a file stands for when the command names no type: by its extension.
std::string TypeOfFile(const std::string& path) {
    const size_t dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : Lower(path.substr(dot + 1));
    return extension == "mid" || extension == "midi" || extension == "rmi" ? "sequencer" : "mpegvideo";
}

MCIERROR Open(MciCommand* command) {
    std::string type, alias;
    bool missing = false;
    const bool typed = TakeValue(command, "type", &type, &missing);
    TakeValue(command, "alias", &alias, &missing);
    if (missing) return MCIERR_MISSING_PARAMETER;
    if (!command->words.empty()) return MCIERR_UNRECOGNIZED_KEYWORD;
    const bool cd = IsCdName(command->device) && !typed;
    if (!typed) type = cd ? "cdaudio" : TypeOfFile(command->device);
    type = Lower(type);
    if (alias.empty()) alias = command->device;
    if (FindDevice(alias)) return cd ? MCIERR_DEVICE_OPEN : MCIERR_DUPLICATE_ALIAS;

    std::unique_ptr<MciDevice> device;
    MCIERROR error = 0;
    if (type == "cdaudio" && cd) {
        device = OpenCdAudioDevice(GetPlatformOptions().cdImagePath, &error);
    } else if (type == "sequencer") {
        device = OpenSequencerDevice(NativePath(command->device.c_str()), GetPlatformOptions().soundFontPath, &error);
    } else if (type == "mpegvideo" || type == "avivideo") {
        device = OpenMovieDevice(NativePath(command->device.c_str()), &error);
    } else {
        return MCIERR_INVALID_DEVICE_NAME;
    }
    if (!device) return error;
    auto open = std::make_unique<OpenDevice>();
    open->alias = Lower(alias);
    open->id = gNextId++;
    open->position = device->Start();
    open->device = std::move(device);
    gDevices.push_back(std::move(open));
    return 0;
}

MCIERROR Play(OpenDevice* open, MciCommand* command, HWND notifyWindow) {
    std::string fromText, toText;
    bool missing = false;
    const bool hasFrom = TakeValue(command, "from", &fromText, &missing);
    const bool hasTo = TakeValue(command, "to", &toText, &missing);
    if (missing) return MCIERR_MISSING_PARAMETER;
    if (!command->words.empty()) return MCIERR_UNRECOGNIZED_KEYWORD;
    MciDevice& device = *open->device;
    int64_t from = CurrentPosition(*open), to = device.Length();
    if ((hasFrom && !device.ParsePosition(fromText, &from)) || (hasTo && !device.ParsePosition(toText, &to)))
        return MCIERR_BAD_INTEGER;
    if (from < device.Start() || from > device.Length() || to < from || to > device.Length())
        return MCIERR_OUTOFRANGE;
    Notify(open, MCI_NOTIFY_SUPERSEDED);
    StopPlaying(open);
    open->position = from;
    open->to = to;
    open->startClock = timeGetTime();
    open->playing = true;
    open->notifyWindow = notifyWindow;
    device.Seek(from);
    open->audio.Start(&device, to - from);
    Update(open);
    return 0;
}

MCIERROR Status(OpenDevice* open, MciCommand* command, std::string* answer) {
    if (command->words.empty()) return MCIERR_MISSING_PARAMETER;
    const std::string item = command->words.front();
    command->words.erase(command->words.begin());
    MCIERROR error = 0;
    if (item == "mode") {
        *answer = open->playing ? "playing" : "stopped";
    } else if (item == "length" && command->words.empty()) {
        *answer = open->device->FormatPosition(open->device->Length());
    } else if (item == "position" && command->words.empty()) {
        *answer = open->device->FormatPosition(CurrentPosition(*open));
    } else {
        error = open->device->Status(item, command, answer);
    }
    if (!error && !command->words.empty()) return MCIERR_UNRECOGNIZED_KEYWORD;
    return error;
}

MCIERROR Run(const char* text, std::string* answer, HWND callback) {
    MciCommand command;
    if (!text || !*text) return MCIERR_MISSING_COMMAND_STRING;
    if (!SplitMciCommand(text, &command)) return MCIERR_NO_CLOSING_QUOTE;
    static const char* const VERBS[] = {"open", "play", "stop", "close", "status", "window", "put", "realize"};
    if (std::find_if(std::begin(VERBS), std::end(VERBS), [&](const char* v) { return command.verb == v; }) ==
        std::end(VERBS))
        return MCIERR_UNRECOGNIZED_COMMAND;
    if (command.device.empty()) return MCIERR_MISSING_PARAMETER;
    const bool notify = TakeFlag(&command, "notify");
    if (command.verb == "open") {
        const MCIERROR error = Open(&command);
        if (!error && notify && callback) PostMessageA(callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, gNextId - 1);
        return error;
    }
    OpenDevice* open = FindDevice(command.device);
    if (!open) return MCIERR_INVALID_DEVICE_NAME;
    Update(open);
    MCIERROR error = 0;
    if (command.verb == "play") {
        return Play(open, &command, notify ? callback : nullptr);
    } else if (command.verb == "stop" || command.verb == "close") {
        if (!command.words.empty()) return MCIERR_UNRECOGNIZED_KEYWORD;
        Notify(open, MCI_NOTIFY_ABORTED);
        StopPlaying(open);
        if (command.verb == "close")
            gDevices.erase(std::find_if(gDevices.begin(), gDevices.end(), [&](auto& d) { return d.get() == open; }));
    } else if (command.verb == "status") {
        error = Status(open, &command, answer);
    } else {
        error = open->device->Special(&command);
    }
    if (!error && notify && callback) PostMessageA(callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, open->id);
    return error;
}

}  // namespace

MCIERROR mciSendStringA(const char* command, char* returnString, UINT returnLength, HWND callback) {
    TraceCall("mciSendStringA");
    std::string answer;
    const MCIERROR error = Run(command, &answer, callback);
    if (error) return error;
    return Answer(answer, returnString, returnLength);
}

void UpdateMciDevices() {
    for (auto& open : gDevices) Update(open.get());
}

void CloseMciDevices() { gDevices.clear(); }

// Milliseconds, the sequencer's and the movies' time format.
bool MciDevice::ParsePosition(const std::string& text, int64_t* frame) const {
    if (text.empty() || text.size() > 10 || !std::all_of(text.begin(), text.end(), ::isdigit)) return false;
    *frame = std::stoll(text) * MEDIA_RATE / 1000;
    return true;
}

std::string MciDevice::FormatPosition(int64_t frame) const { return std::to_string(frame * 1000 / MEDIA_RATE); }

MCIERROR MciDevice::Status(const std::string&, MciCommand*, std::string*) { return MCIERR_UNRECOGNIZED_KEYWORD; }

MCIERROR MciDevice::Special(MciCommand*) { return MCIERR_UNRECOGNIZED_COMMAND; }
