// Platform options, the choice of backend, the program's remaining arguments
// and the call trace.
#include "platform/win/platform.h"

#include <cstdlib>
#include <cstring>

#include "platform/mci/mci.h"
#include "platform/win/backend.h"
#include "platform/win/controls/control_input.h"
#include "platform/win/controls/control_layer.h"
#include "platform/win/debug_output.h"
#include "platform/win/window_table.h"

namespace {

// Platform state outlives every static destructor: the global records are
// destroyed after main returns and may still call into the platform.
PlatformOptions& gOptions = *new PlatformOptions;
const WinBackend* gBackend = nullptr;
std::vector<std::string>& gArguments = *new std::vector<std::string>;

bool ParseInteger(const std::string& text, long long low, long long high, long long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 0);
    if (*end != '\0' || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

// Applies one option; false with an error for a bad name or value.
bool ApplyOption(const std::string& name, const std::string& value, bool hasValue, PlatformOptions* options,
                 bool* backendGiven, std::string* error) {
    long long number = 0;
    auto needValue = [&]() {
        if (!hasValue) *error = "option --" + name + " needs a value";
        return hasValue;
    };
    auto badValue = [&]() {
        *error = "bad value for --" + name + ": '" + value + "'";
        return false;
    };
    if (name == "help" && !hasValue) {
        options->help = true;
    } else if (name == "window" && !hasValue) {
        options->startInWindow = true;
    } else if (name == "headless" && !hasValue) {
        options->backend = "headless";
        *backendGiven = true;
    } else if (name == "backend") {
        if (!needValue()) return false;
        if (value != "sdl2" && value != "headless") return badValue();
        options->backend = value;
        *backendGiven = true;
    } else if (name == "script") {
        if (!needValue()) return false;
        options->scriptPath = value;
        if (!*backendGiven) options->backend = "headless";
    } else if (name == "capture-dir") {
        if (!needValue()) return false;
        options->captureDir = value;
    } else if (name == "log") {
        if (!needValue()) return false;
        options->logPath = value;
    } else if (name == "scale") {
        if (!needValue()) return false;
        if (!ParseInteger(value, 1, 8, &number)) return badValue();
        options->windowScale = static_cast<int>(number);
    } else if (name == "desktop-depth") {
        if (!needValue()) return false;
        if (!ParseInteger(value, 8, 32, &number) || (number != 8 && number != 16 && number != 24 && number != 32))
            return badValue();
        options->desktopDepth = static_cast<int>(number);
    } else if (name == "max-frames") {
        if (!needValue()) return false;
        if (!ParseInteger(value, 0, INT64_MAX, &number)) return badValue();
        options->maxFrames = number;
    } else if (name == "clock-start") {
        if (!needValue()) return false;
        if (!ParseInteger(value, 0, UINT32_MAX, &number)) return badValue();
        options->clockStart = static_cast<uint32_t>(number);
    } else if (name == "soundfont") {
        if (!needValue()) return false;
        options->soundFontPath = value;
    } else if (name == "cd-image") {
        if (!needValue()) return false;
        options->cdImagePath = value;
    } else if (name == "audio") {
        if (!needValue()) return false;
        if (value != "none" && value != "default") return badValue();
        options->audioNone = value == "none";
    } else if (name == "audio-out") {
        if (!needValue()) return false;
        options->audioOutPath = value;
    } else if (name == "dplay-port") {
        if (!needValue()) return false;
        if (!ParseInteger(value, 1024, 65535 - 31, &number)) return badValue();
        options->dplayPort = static_cast<int>(number);
    } else if (name == "dplay-search") {
        if (!hasValue) return needValue();
        options->dplaySearch = value;
        options->dplaySearchGiven = true;
    } else if (name == "trace" && !hasValue) {
        options->trace = true;
    } else if (name == "single-instance" && !hasValue) {
        options->singleInstanceCheck = true;
    } else {
        *error = "unknown option --" + name;
        return false;
    }
    return true;
}

bool TakesValue(const std::string& name) {
    return name != "help" && name != "window" && name != "headless" && name != "trace" && name != "single-instance";
}

}  // namespace

bool ParsePlatformOptions(int* argc, char** argv, PlatformOptions* options, std::string* error) {
    bool backendGiven = false;
    int kept = 1;
    for (int i = 1; i < *argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h") {
            options->help = true;
            continue;
        }
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            argv[kept++] = argv[i];
            continue;
        }
        std::string name = arg.substr(2), value;
        bool hasValue = false;
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            hasValue = true;
        } else if (TakesValue(name) && i + 1 < *argc) {
            value = argv[++i];
            hasValue = true;
        }
        if (!ApplyOption(name, value, hasValue, options, &backendGiven, error)) return false;
    }
    *argc = kept;
    argv[kept] = nullptr;
    return true;
}

const char* PlatformOptionsHelp() {
    return "  -h, --help           show this text and exit\n"
           "  --window             start in a window even where the program starts full screen\n"
           "  --scale=N            show the picture N times its size in a window (1..8; default 1);\n"
           "                       full screen always fills the desktop\n"
           "  --log=FILE           append the program's log lines to FILE as well as to the terminal\n"
           "  --headless           no window: a virtual clock, input from a script, frames to pictures\n"
           "  --backend=sdl2|headless  the desktop (default) or no window\n"
           "  --script=FILE        headless input script (implies --headless)\n"
           "  --capture-dir=DIR    where the script's captures are written (default .)\n"
           "  --max-frames=N       headless: close the program after N frames\n"
           "  --clock-start=MS     headless: first value of the virtual clock\n"
           "  --desktop-depth=8|16|24|32  bits per pixel the desktop reports (default 16)\n"
           "  --single-instance    headless: honour the check for a running instance\n"
           "  --trace              log every window-system call the program makes\n"
           "  --audio=none|default no audio output (sound mixes against the clock) or the desktop's\n"
           "  --audio-out=FILE     headless: also write the sound mix to FILE as WAVE\n"
           "  --soundfont=FILE     the SoundFont MIDI songs play with (default: the system's GM set)\n"
           "  --cd-image=FILE      a disc image (CUE/BIN) the CD audio device plays instead of the drive\n"
           "  --dplay-port=PORT    first of the network session ports (default 47624)\n"
           "  --dplay-search=ADDR  address the TCP/IP service searches without asking\n";
}

bool PlatformOpen(const PlatformOptions& options, std::string* error) {
    PlatformClose();
    gOptions = options;
    const WinBackend* backend = options.backend == "headless" ? &HEADLESS_BACKEND : &SDL2_BACKEND;
    if (!OpenDebugLogFile(options.logPath)) {
        *error = "cannot open the log file '" + options.logPath + "'";
        return false;
    }
    if (!backend->open(options, error)) {
        CloseDebugLogFile();
        return false;
    }
    gBackend = backend;
    return true;
}

void PlatformClose() {
    if (!gBackend) return;
    CloseMciDevices();
    ResetWindowTable();
    ResetMessageQueue();
    ResetControlInput();
    ResetControlLayer();
    gBackend->close();
    gBackend = nullptr;
    CloseDebugLogFile();
}

bool PlatformIsOpen() { return gBackend != nullptr; }

const PlatformOptions& GetPlatformOptions() { return gOptions; }

const WinBackend& Backend() {
    if (!gBackend) {
        WriteDebugText("platform: a window-system call was made before the platform was opened\n");
        std::abort();
    }
    return *gBackend;
}

void ReplaceBackend(const WinBackend& backend) { gBackend = &backend; }

void SetProgramArguments(int argc, char** argv) { gArguments.assign(argv, argv + argc); }

const std::vector<std::string>& GetProgramArguments() { return gArguments; }

void TraceCall(const char* name) {
    if (gOptions.trace) WriteDebugText(std::string("trace: ") + name + "\n");
}
