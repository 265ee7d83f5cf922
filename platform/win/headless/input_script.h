// The headless backend's input script: one command per line, "frame command
// arguments", '#' starts a comment. The README documents the commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScriptEvent {
    enum class Kind { Move, Press, Release, Close, Activate, Deactivate, Minimize, Restore, Answer, Capture, Stall, LoseSurfaces, LoseSound };
    int64_t frame = 0;
    Kind kind = Kind::Close;
    int x = 0, y = 0;          // Move
    int key = 0;               // Press, Release: virtual-key code
    int answer = 0;            // Answer: IDOK, IDCANCEL, IDYES or IDNO
    uint32_t milliseconds = 0; // Stall
    std::string file;          // Capture
};

// Parses a script text; events come out ordered by frame, keeping the order of
// lines within one frame. On error returns false with "line N: reason".
bool ParseInputScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error);

// A key name ("ESC", "F1", "A", "left", "VK_RETURN", "0x1B", "27") as a
// virtual-key code, or -1.
int ParseKeyName(const std::string& name);
