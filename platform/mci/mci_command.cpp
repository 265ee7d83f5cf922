// Splitting MCI command strings into words. Words are separated by blanks; a
// word in double quotes may hold blanks. Keywords compare without case.
#include "platform/mci/mci_command.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

std::string Lower(std::string word) {
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word;
}

}  // namespace

bool SplitMciCommand(const char* text, MciCommand* command) {
    std::vector<std::string> words;
    std::vector<bool> quoted;
    for (const char* at = text; at && *at;) {
        if (*at == ' ' || *at == '\t') {
            ++at;
            continue;
        }
        std::string word;
        if (*at == '"') {
            const char* close = std::strchr(at + 1, '"');
            if (!close) return false;
            word.assign(at + 1, close);
            at = close + 1;
            quoted.push_back(true);
        } else {
            const char* stop = at;
            while (*stop && *stop != ' ' && *stop != '\t') ++stop;
            word.assign(at, stop);
            at = stop;
            quoted.push_back(false);
        }
        words.push_back(word);
    }
    if (words.empty()) return false;
    command->verb = Lower(words[0]);
    command->device = words.size() > 1 ? words[1] : "";
    command->words.clear();
    for (size_t i = 2; i < words.size(); ++i) command->words.push_back(quoted[i] ? words[i] : Lower(words[i]));
    return true;
}

bool TakeFlag(MciCommand* command, const char* keyword) {
    auto& words = command->words;
    const auto found = std::find(words.begin(), words.end(), keyword);
    if (found == words.end()) return false;
    words.erase(found);
    return true;
}

bool TakeValue(MciCommand* command, const char* keyword, std::string* value, bool* missing) {
    auto& words = command->words;
    const auto found = std::find(words.begin(), words.end(), keyword);
    if (found == words.end()) return false;
    if (found + 1 == words.end()) {
        *missing = true;
        words.erase(found);
        return true;
    }
    *value = *(found + 1);
    words.erase(found, found + 2);
    return true;
}
