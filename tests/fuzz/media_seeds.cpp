// Small inputs of each kind: a libFuzzer input grows from its seeds, so a
// few hundred bytes each keep the runs quick while every chunk, event, entry
// and object kind is present at least once.
#include "tests/fuzz/media_seeds.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tools/media_writers/midi_writer.h"
#include "tools/sound_assets/module_writer.h"
#include "tools/wave_encoder/wave_encoder.h"
#include "tools/x_model/shapes.h"
#include "tools/x_model/x_model_writer.h"

namespace fs = std::filesystem;

namespace {

std::vector<int16_t> Ramp(int count) {
    std::vector<int16_t> samples;
    for (int i = 0; i < count; ++i) samples.push_back(static_cast<int16_t>((i * 2477) % 65536 - 32768));
    return samples;
}

void WriteWaveSeeds(const fs::path& folder) {
    WaveImage mono16;
    mono16.data = SampleBytes16(Ramp(48));
    WriteSeed(folder / "mono16.wav", EncodeWave(mono16));
    WaveImage stereo8;
    stereo8.channels = 2;
    stereo8.bitsPerSample = 8;
    stereo8.rate = 11025;
    stereo8.shortFormat = true;
    stereo8.data = SampleBytes8(Ramp(64));
    WriteSeed(folder / "stereo8.wav", EncodeWave(stereo8));
    WaveImage chunks = mono16;
    chunks.beforeData = {{"fact", {48, 0, 0, 0}}, InfoList("korven")};
    chunks.afterData = {{"cue ", std::vector<uint8_t>(4)}};
    WriteSeed(folder / "chunks.wav", EncodeWave(chunks));
    WaveImage adpcm = mono16;
    adpcm.formatTag = 2;
    WriteSeed(folder / "adpcm.wav", EncodeWave(adpcm));
}

void Put32(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

// An archive of the given entries; names the archive writer refuses (rooted,
// climbing, through the links the target makes) are written as they are.
std::vector<uint8_t> Archive(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::vector<uint8_t> out;
    Put32(&out, 0x50523233);
    for (const auto& [name, content] : entries) {
        Put32(&out, static_cast<uint32_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        Put32(&out, static_cast<uint32_t>(content.size()));
        out.insert(out.end(), content.begin(), content.end());
    }
    return out;
}

void WriteArchiveSeeds(const fs::path& folder) {
    WriteSeed(folder / "files.pack", Archive({{"readme.txt", "hello"}, {"data\\stage\\one.bin", std::string(40, 'x')},
                                          {"sub/kept.txt", "kept"}, {"\x83\x5C\\\x95\x5C.txt", "table"}}));
    int n = 0;
    for (const char* name : {"..\\up.txt", "\\rooted.txt", "C:drive.txt", "up\\escaped.txt", "outside\\escaped.txt",
                             "dangling", "sub\\dangling", "self\\inside.txt"})
        WriteSeed(folder / ("name" + std::to_string(++n) + ".pack"), Archive({{name, "x"}, {"after.txt", "y"}}));
}

void WriteMidiSeeds(const fs::path& folder) {
    for (const bool running : {false, true}) {
        MidiFileWriter song(running);
        song.BeginTrack();
        song.Tempo(0, 400000);
        song.Message(0, 0xC0, 5);
        song.Message(0, 0x90, 60, 100);
        song.SysEx(10, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
        song.Message(240, 0x80, 60, 0);
        song.Message(0, 0xE1, 0x00, 0x40);
        song.EndTrack(10);
        song.BeginTrack();
        song.Message(120, 0xB9, 7, 90);
        song.Message(0, 0x99, 36, 127);
        song.EndTrack(480);
        WriteSeed(folder / (running ? "running.mid" : "format1.mid"), song.Bytes(1, 96));
    }
    MidiFileWriter smpte;
    smpte.BeginTrack();
    smpte.Message(25, 0x90, 64, 64);
    smpte.EndTrack(25);
    WriteSeed(folder / "smpte.mid", smpte.Bytes(0, 0xE728));  // 25 frames a second, 40 ticks a frame
}

void WriteModuleSeeds(const fs::path& folder) {
    Module module;
    module.title = "seed";
    ModuleSample looped{"loop", std::vector<int8_t>(16), 64, 0, 16};
    for (int i = 0; i < 16; ++i) looped.data[i] = static_cast<int8_t>(i < 8 ? 100 : -100);
    module.samples = {looped, ModuleSample{"once", std::vector<int8_t>(8, 50), 40, 0, 0}};
    std::vector<ModuleNote> pattern(64 * 4);
    pattern[0] = {1, NotePeriod(2, 0), 0xF, 3};
    pattern[5] = {2, NotePeriod(1, 7), 0xC, 32};
    pattern[8 * 4] = {1, NotePeriod(3, 4), 0xA, 0x0F};
    pattern[16 * 4 + 3] = {0, 0, 0xB, 0};
    module.patterns = {pattern};
    module.order = {0, 0};
    WriteSeed(folder / "two-samples.mod", EncodeModule(module));
}

void WriteModelSeeds(const fs::path& folder) {
    XMaterial textured;
    textured.textureFile = "checker.bmp";
    XModel model;
    model.frames.push_back({"Box", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 2, 1}, {CubeMesh(0.5f, textured)}, {}});
    model.ticksPerSecond = 30;
    model.animationSetName = "Turn";
    model.animations.push_back({"Box", {{0, {1, 0, 0, 0}}, {30, {0.7071f, 0, 0.7071f, 0}}}, {{0, {1, 1, 1}}}, {{15, {0, 1, 0}}}});
    WriteSeed(folder / "cube.x", WriteXModel(model, XEncoding::Text));
    WriteSeed(folder / "cube-binary.x", WriteXModel(model, XEncoding::Binary));
    WriteSeed(folder / "cube-compressed.x", WriteXModel(model, XEncoding::Compressed));
}

// A dialog with a font, a title and one item of each class, by ordinal and by name.
void WriteDialogSeeds(const fs::path& folder) {
    std::vector<uint8_t> t;
    auto word = [&](uint16_t w) { t.push_back(w & 0xFF), t.push_back(w >> 8); };
    auto dword = [&](uint32_t d) { word(d & 0xFFFF), word(d >> 16); };
    auto text = [&](const char16_t* s) {
        for (; *s; ++s) word(*s);
        word(0);
    };
    const std::pair<uint16_t, const char16_t*> items[] = {{0x80, u"OK"}, {0x81, u"text"}, {0x82, u"label"},
                                                          {0x83, u""},   {0, u"BUTTON"},  {0, u"Listbox"}};
    dword(0x90C80040);  // WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFONT
    dword(0);
    word(static_cast<uint16_t>(std::size(items)));
    for (const uint16_t v : {10, 10, 180, 120}) word(v);
    word(0), word(0), text(u"題名");
    word(9), text(u"MS UI Gothic");
    int y = 4;
    for (const auto& [ordinal, title] : items) {
        while (t.size() % 4) t.push_back(0);
        dword(0x50010000), dword(0);
        for (const int v : {4, y, 60, 12}) word(static_cast<uint16_t>(v));
        word(static_cast<uint16_t>(100 + y));
        if (ordinal) {
            word(0xFFFF), word(ordinal), text(title);
        } else {
            text(title), text(u"named");
        }
        word(0);
        y += 16;
    }
    WriteSeed(folder / "controls.dlg", t);
}

}  // namespace

void WriteSeed(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void WriteMediaSeeds(const fs::path& out) {
    WriteWaveSeeds(out / "wave");
    WriteArchiveSeeds(out / "pack_archive");
    WriteMidiSeeds(out / "midi_file");
    WriteModuleSeeds(out / "mod_module");
    WriteModelSeeds(out / "x_model");
    WriteDialogSeeds(out / "dialog_template");
}
