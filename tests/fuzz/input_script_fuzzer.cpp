// The headless backend's input script parser, and its key names.
#include <string>
#include <vector>

#include "platform/win/headless/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptEvent> events;
    std::string error;
    ParseInputScript(text, &events, &error);
    ParseKeyName(text);
    return 0;
}
