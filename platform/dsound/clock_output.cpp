// Rendering against a clock: the frames due are those of the milliseconds
// that passed since the output opened, counted exactly (no rounding drift).
#include "platform/dsound/clock_output.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/dsound/mixer.h"
#include "platform/dsound/wave_file_writer.h"
#include "platform/win/debug_output.h"
#include "platform/win/headless/headless_backend.h"

namespace {

class ClockRenderer {
public:
    // Renders up to the given total of elapsed milliseconds.
    void RenderUntil(uint64_t elapsedMilliseconds) {
        const uint64_t due = elapsedMilliseconds * MIXER_RATE / 1000;
        while (rendered_ < due) {
            const int frames = static_cast<int>(std::min<uint64_t>(due - rendered_, CHUNK_FRAMES));
            RenderMix(chunk_.data(), frames);
            if (writer) writer->Append(chunk_.data(), frames);
            rendered_ += static_cast<uint64_t>(frames);
        }
    }

    std::unique_ptr<WaveFileWriter> writer;

private:
    static constexpr int CHUNK_FRAMES = 4096;
    std::vector<int16_t> chunk_ = std::vector<int16_t>(CHUNK_FRAMES * MIXER_CHANNELS);
    uint64_t rendered_ = 0;
};

ClockRenderer* gVirtual = nullptr;
uint64_t gVirtualElapsed = 0;

void OnVirtualClock(uint32_t elapsed) {
    gVirtualElapsed += elapsed;
    gVirtual->RenderUntil(gVirtualElapsed);
}

struct RealTimeOutput {
    ClockRenderer renderer;
    std::atomic<bool> stop{false};
    std::thread thread;
};
RealTimeOutput* gRealTime = nullptr;

}  // namespace

void OpenVirtualClockOutput(const std::string& wavePath) {
    gVirtual = new ClockRenderer;
    gVirtualElapsed = 0;
    if (!wavePath.empty()) {
        gVirtual->writer = std::make_unique<WaveFileWriter>(wavePath, MIXER_RATE, MIXER_CHANNELS);
        if (!gVirtual->writer->Ok()) {
            WriteDebugText("sound: cannot write '" + wavePath + "'\n");
            gVirtual->writer.reset();
        }
    }
    HeadlessSetClockListener(OnVirtualClock);
}

void CloseVirtualClockOutput() {
    HeadlessSetClockListener(nullptr);
    delete gVirtual;
    gVirtual = nullptr;
}

void OpenRealTimeClockOutput() {
    gRealTime = new RealTimeOutput;
    gRealTime->thread = std::thread([output = gRealTime] {
        const auto start = std::chrono::steady_clock::now();
        while (!output->stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const auto elapsed = std::chrono::steady_clock::now() - start;
            output->renderer.RenderUntil(
                static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
        }
    });
}

void CloseRealTimeClockOutput() {
    if (!gRealTime) return;
    gRealTime->stop = true;
    gRealTime->thread.join();
    delete gRealTime;
    gRealTime = nullptr;
}
