// The "M.K." layout: title, 31 sample headers, order list, patterns of 64
// rows x 4 channels x 4 bytes, then the signed 8-bit sample data. Lengths
// and loop points are counted in 16-bit words, big-endian.
#include "tools/sound_assets/module_writer.h"

#include <algorithm>

namespace {

constexpr int PERIODS[12] = {428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226};

void PutText(std::vector<uint8_t>& out, const std::string& text, size_t size) {
    for (size_t i = 0; i < size; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

void PutWord(std::vector<uint8_t>& out, int bytes) {
    const int words = bytes / 2;
    out.push_back(static_cast<uint8_t>(words >> 8));
    out.push_back(static_cast<uint8_t>(words));
}

}  // namespace

int NotePeriod(int octave, int semitone) {
    const int base = PERIODS[std::clamp(semitone, 0, 11)];
    return octave <= 1 ? base * 2 : octave == 2 ? base : base / 2;
}

std::vector<uint8_t> EncodeModule(const Module& module) {
    std::vector<uint8_t> out;
    PutText(out, module.title, 20);
    for (size_t i = 0; i < 31; ++i) {
        if (i >= module.samples.size()) {
            PutText(out, "", 30);
            continue;
        }
        const ModuleSample& s = module.samples[i];
        PutText(out, s.name, 22);
        PutWord(out, static_cast<int>(s.data.size()));
        out.push_back(0);  // finetune
        out.push_back(static_cast<uint8_t>(s.volume));
        PutWord(out, s.loopLength ? s.loopStart : 0);
        PutWord(out, s.loopLength ? s.loopLength : 2);
    }
    out.push_back(static_cast<uint8_t>(module.order.size()));
    out.push_back(127);
    for (size_t i = 0; i < 128; ++i) out.push_back(i < module.order.size() ? static_cast<uint8_t>(module.order[i]) : 0);
    PutText(out, "M.K.", 4);
    for (const std::vector<ModuleNote>& pattern : module.patterns) {
        for (size_t cell = 0; cell < 64 * 4; ++cell) {
            const ModuleNote n = cell < pattern.size() ? pattern[cell] : ModuleNote{};
            out.push_back(static_cast<uint8_t>((n.sample & 0xF0) | ((n.period >> 8) & 0x0F)));
            out.push_back(static_cast<uint8_t>(n.period));
            out.push_back(static_cast<uint8_t>(((n.sample & 0x0F) << 4) | (n.effect & 0x0F)));
            out.push_back(static_cast<uint8_t>(n.parameter));
        }
    }
    for (const ModuleSample& s : module.samples)
        for (int8_t v : s.data) out.push_back(static_cast<uint8_t>(v));
    return out;
}
