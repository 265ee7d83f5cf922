// Parsing of the headless input script.
#include "platform/win/headless/input_script.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "platform/win/win.h"

namespace {

struct KeyName {
    const char* name;
    int code;
};

constexpr KeyName KEY_NAMES[] = {
    {"LEFTBUTTON", VK_LBUTTON}, {"LBUTTON", VK_LBUTTON}, {"MOUSE1", VK_LBUTTON},
    {"RIGHTBUTTON", VK_RBUTTON}, {"RBUTTON", VK_RBUTTON}, {"MOUSE2", VK_RBUTTON},
    {"MIDDLEBUTTON", VK_MBUTTON}, {"MBUTTON", VK_MBUTTON},
    {"BACK", VK_BACK}, {"BACKSPACE", VK_BACK}, {"TAB", VK_TAB}, {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN},
    {"SHIFT", VK_SHIFT}, {"CONTROL", VK_CONTROL}, {"CTRL", VK_CONTROL}, {"MENU", VK_MENU}, {"ALT", VK_MENU},
    {"PAUSE", VK_PAUSE}, {"CAPITAL", VK_CAPITAL}, {"ESCAPE", VK_ESCAPE}, {"ESC", VK_ESCAPE},
    {"SPACE", VK_SPACE}, {"PRIOR", VK_PRIOR}, {"PAGEUP", VK_PRIOR}, {"NEXT", VK_NEXT}, {"PAGEDOWN", VK_NEXT},
    {"END", VK_END}, {"HOME", VK_HOME}, {"LEFT", VK_LEFT}, {"UP", VK_UP}, {"RIGHT", VK_RIGHT}, {"DOWN", VK_DOWN},
    {"INSERT", VK_INSERT}, {"DELETE", VK_DELETE},
};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool ParseNumber(const std::string& text, long long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtoll(text.c_str(), &end, 0);
    return *end == '\0';
}

}  // namespace

int ParseKeyName(const std::string& name) {
    long long number = 0;
    if (ParseNumber(name, &number)) return number >= 0 && number <= 255 ? static_cast<int>(number) : -1;
    std::string upper = Upper(name);
    if (upper.rfind("VK_", 0) == 0) upper = upper.substr(3);
    if (upper.size() == 1 && std::isalnum(static_cast<unsigned char>(upper[0]))) return upper[0];
    if (upper.size() >= 2 && upper[0] == 'F' && ParseNumber(upper.substr(1), &number) && number >= 1 && number <= 24)
        return VK_F1 + static_cast<int>(number) - 1;
    for (const KeyName& k : KEY_NAMES)
        if (upper == k.name) return k.code;
    return -1;
}

bool ParseInputScript(const std::string& text, std::vector<ScriptEvent>* events, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    events->clear();
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (const size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;

        auto fail = [&](const std::string& why) {
            *error = "line " + std::to_string(lineNumber) + ": " + why;
            return false;
        };
        ScriptEvent e;
        long long number = 0;
        if (!ParseNumber(w[0], &number) || number < 0) return fail("expected a frame number, got '" + w[0] + "'");
        e.frame = number;
        if (w.size() < 2) return fail("missing command");
        const std::string command = Upper(w[1]);
        const size_t argCount = w.size() - 2;
        auto arity = [&](size_t n) { return argCount == n; };

        if (command == "MOVE") {
            long long x = 0, y = 0;
            if (!arity(2) || !ParseNumber(w[2], &x) || !ParseNumber(w[3], &y)) return fail("usage: N move X Y");
            e.kind = ScriptEvent::Kind::Move;
            e.x = static_cast<int>(x);
            e.y = static_cast<int>(y);
        } else if (command == "PRESS" || command == "RELEASE") {
            if (!arity(1)) return fail("usage: N " + w[1] + " KEY");
            e.key = ParseKeyName(w[2]);
            if (e.key < 0) return fail("unknown key '" + w[2] + "'");
            e.kind = command == "PRESS" ? ScriptEvent::Kind::Press : ScriptEvent::Kind::Release;
        } else if (command == "CLOSE" && arity(0)) {
            e.kind = ScriptEvent::Kind::Close;
        } else if (command == "ACTIVATE" && arity(0)) {
            e.kind = ScriptEvent::Kind::Activate;
        } else if (command == "DEACTIVATE" && arity(0)) {
            e.kind = ScriptEvent::Kind::Deactivate;
        } else if (command == "MINIMIZE" && arity(0)) {
            e.kind = ScriptEvent::Kind::Minimize;
        } else if (command == "RESTORE" && arity(0)) {
            e.kind = ScriptEvent::Kind::Restore;
        } else if (command == "LOSE-SURFACES" && arity(0)) {
            e.kind = ScriptEvent::Kind::LoseSurfaces;
        } else if (command == "LOSE-SOUND" && arity(0)) {
            e.kind = ScriptEvent::Kind::LoseSound;
        } else if (command == "ANSWER") {
            const std::string a = arity(1) ? Upper(w[2]) : "";
            e.kind = ScriptEvent::Kind::Answer;
            if (a == "YES") e.answer = IDYES;
            else if (a == "NO") e.answer = IDNO;
            else if (a == "OK") e.answer = IDOK;
            else if (a == "CANCEL") e.answer = IDCANCEL;
            else return fail("usage: N answer yes|no|ok|cancel");
        } else if (command == "CAPTURE") {
            if (!arity(1)) return fail("usage: N capture FILE");
            e.kind = ScriptEvent::Kind::Capture;
            e.file = w[2];
        } else if (command == "TYPE") {
            // The text is the rest of the line after one space, as typed.
            const size_t start = line.find_first_not_of(" \t", line.find(w[1]) + w[1].size());
            if (start == std::string::npos) return fail("usage: N type TEXT");
            e.kind = ScriptEvent::Kind::Type;
            e.text = line.substr(start);
            while (!e.text.empty() && (e.text.back() == ' ' || e.text.back() == '\t' || e.text.back() == '\r'))
                e.text.pop_back();
        } else if (command == "WHEEL") {
            if (!arity(1) || !ParseNumber(w[2], &number) || number < -100 || number > 100)
                return fail("usage: N wheel NOTCHES");
            e.kind = ScriptEvent::Kind::Wheel;
            e.wheel = static_cast<int>(number);
        } else if (command == "STALL") {
            if (!arity(1) || !ParseNumber(w[2], &number) || number < 0 || number > UINT32_MAX)
                return fail("usage: N stall MILLISECONDS");
            e.kind = ScriptEvent::Kind::Stall;
            e.milliseconds = static_cast<uint32_t>(number);
        } else {
            return fail("unknown command or wrong arguments: '" + w[1] + "'");
        }
        events->push_back(e);
    }
    std::stable_sort(events->begin(), events->end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
    return true;
}
