// The media devices at their own pace. Counters give the share of one core
// that real-time playback costs:
// - a 640 x 480, 25 frames-a-second MPEG-4 movie: each movie frame decoded,
//   scaled into the 640 x 480 window and presented (headless presentation);
//   core_pct = processor time per movie frame / 40 ms;
// - the sixteen-channel song: processor time to render one second of 44.1 kHz
//   stereo / one second.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "platform/mci/movie_device.h"
#include "platform/mci/sequencer_device.h"

namespace {

std::string DataFile(const char* name) { return std::string(KORVEN_SHOWCASE_DATA) + "/" + name; }

void MovieFrameDecodeAndPresent(benchmark::State& state) {
    MCIERROR error = 0;
    std::unique_ptr<MciDevice> movie = OpenMovieDevice(DataFile("movie.avi"), &error);
    if (!movie) return state.SkipWithError("the movie does not open");
    constexpr int64_t FRAME_STEP = MEDIA_RATE / 25;  // one movie frame at 25 a second
    const int64_t frames = movie->Length() / FRAME_STEP;
    int64_t frame = 0;
    movie->Seek(0);
    double busy = 0;
    for (auto _ : state) {
        if (frame == frames) {  // the movie again from its start
            movie->Seek(0);
            frame = 0;
        }
        busy += SecondsFor(1, [&] { movie->Show(frame++ * FRAME_STEP); });
    }
    const auto shown = static_cast<double>(state.iterations());
    state.counters["ms/frame"] = busy * 1e3 / shown;
    state.counters["core_pct"] = busy / (shown * 0.040) * 100;
}

BENCHMARK(MovieFrameDecodeAndPresent)->Unit(benchmark::kMillisecond);

void SixteenChannelSongSecond(benchmark::State& state) {
    MCIERROR error = 0;
    std::unique_ptr<MciDevice> song = OpenSequencerDevice(DataFile("song.mid"), "", &error);
    if (!song) return state.SkipWithError("the song does not open");
    std::vector<int16_t> block(2 * 1024);
    int64_t rendered = 0;
    song->Seek(0);
    double busy = 0;
    for (auto _ : state) {
        if (rendered + MEDIA_RATE > song->Length()) {
            song->Seek(0);
            rendered = 0;
        }
        busy += SecondsFor(MEDIA_RATE / 1024, [&] { song->RenderAudio(block.data(), 1024); });
        rendered += MEDIA_RATE / 1024 * 1024;
    }
    state.counters["core_pct"] = busy / static_cast<double>(state.iterations()) * 100;
}

BENCHMARK(SixteenChannelSongSecond)->Unit(benchmark::kMillisecond);

}  // namespace
