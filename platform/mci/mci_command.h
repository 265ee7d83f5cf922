// An MCI command string split into its words: the command, the device (a
// name, an alias or a quoted file path) and the keywords that follow.
#pragma once

#include <string>
#include <vector>

struct MciCommand {
    std::string verb;                 // lower case: "open", "play", ...
    std::string device;               // as written, quotes removed
    std::vector<std::string> words;   // the rest, quotes removed; keywords in lower case
};

// False for an empty command or an unclosed quote.
bool SplitMciCommand(const char* text, MciCommand* command);

// Takes the keyword (and, for a valued one, the word after it) out of the
// word list. True when it was there; *value gets the value.
bool TakeFlag(MciCommand* command, const char* keyword);
bool TakeValue(MciCommand* command, const char* keyword, std::string* value, bool* missing);
