// Frames per second of Motion JPEG: the encoder alone, and whole frames
// through the AVI writer into a file (encoding, chunk and index writing).

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

// Local
#include "video/CAviWriter.h"
#include "video/CMjpegEncoder.h"

namespace {

// A smooth picture with some detail, like a frame halfway through a dissolve.
std::vector<std::uint8_t> MakePicture(int w, int h)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * 3 * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * w + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 255 / w);
            p[1] = static_cast<std::uint8_t>(y * 255 / h);
            p[2] = static_cast<std::uint8_t>(((x / 16 + y / 16) & 1) ? 200 : 60);
        }
    return pixels;
}

void BM_MjpegEncode(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const std::vector<std::uint8_t> pixels = MakePicture(w, h);
    CMjpegEncoder encoder;
    if (const std::string strWhy = encoder.Init(w, h, 90); !strWhy.empty()) {
        state.SkipWithError(strWhy.c_str());
        return;
    }
    std::size_t nBytes = 0;
    for (auto _ : state) {
        const auto frame = encoder.Encode(pixels.data(), w * 3);
        if (!frame) {
            state.SkipWithError(frame.Error().m_strMessage.c_str());
            return;
        }
        nBytes = frame.Value().m_nSize;
        benchmark::DoNotOptimize(frame.Value().m_pData);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["jpeg_bytes"] = static_cast<double>(nBytes);
}
BENCHMARK(BM_MjpegEncode)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_AviWriterMjpeg(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const std::vector<std::uint8_t> pixels = MakePicture(w, h);
    const std::string strPath = "/tmp/plavex-bench-" + std::to_string(::getpid()) + ".avi";
    CAviWriter writer;
    const Canvas canvas = ComputeCanvas(kSizeModeCustom, w, h, 0, 0, 0, 0).Value();
    auto opened = writer.Open(strPath, {canvas, 25, &DefaultVideoCodec(), 90});
    auto encoder = writer.MakeEncoder();
    if (!opened || !encoder) {
        state.SkipWithError("the writer could not be opened");
        return;
    }
    for (auto _ : state) {
        const auto frame = encoder.Value()->Encode(pixels.data(), w * 3);
        if (!frame || !writer.WriteFrame(frame.Value())) {
            state.SkipWithError("frame write failed");
            break;
        }
    }
    // Not committed: the writer takes its temporary file with it.
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AviWriterMjpeg)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
