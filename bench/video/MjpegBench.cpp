// Frames per second of Motion JPEG: the encoder alone, and whole frames
// through the AVI writer into a file (encoding, chunk and index writing).

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

// Local
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "platform/avi/CMjpegEncoder.h"
#include "video/CAviWriter.h"

namespace {

// A smooth picture with some detail, like a frame halfway through a dissolve.
std::vector<BYTE> MakePicture(int w, int h)
{
    std::vector<BYTE> pixels(static_cast<std::size_t>(w) * 3 * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = &pixels[(static_cast<std::size_t>(y) * w + x) * 3];
            p[0] = static_cast<BYTE>(x * 255 / w);
            p[1] = static_cast<BYTE>(y * 255 / h);
            p[2] = static_cast<BYTE>(((x / 16 + y / 16) & 1) ? 200 : 60);
        }
    return pixels;
}

void BM_MjpegEncode(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const std::vector<BYTE> pixels = MakePicture(w, h);
    CMjpegEncoder encoder;
    if (!encoder.Init(w, h, 90)) {
        state.SkipWithError(encoder.LastError().c_str());
        return;
    }
    std::size_t nBytes = 0;
    for (auto _ : state) {
        EncodedFrame frame;
        if (!encoder.Encode(pixels.data(), w * 3, &frame)) {
            state.SkipWithError(encoder.LastError().c_str());
            return;
        }
        nBytes = frame.m_nSize;
        benchmark::DoNotOptimize(frame.m_pData);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["jpeg_bytes"] = static_cast<double>(nBytes);
}
BENCHMARK(BM_MjpegEncode)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

void BM_AviWriterMjpeg(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const std::vector<BYTE> pixels = MakePicture(w, h);
    CFixedCompressionChooser chooser;
    CCompressionChooserGuard guard(&chooser);
    const std::string strPath = "/tmp/plavex-bench-" + std::to_string(::getpid()) + ".avi";
    CAviWriter writer;
    BITMAPINFOHEADER bih{40, w, h, 1, 24, BI_RGB, static_cast<DWORD>(w * 3 * h), 0, 0, 0, 0};
    writer.SetBitmapHeader(bih);
    writer.m_strFileName = strPath;
    if (writer.InitEngine(nullptr) != 0) {
        state.SkipWithError(writer.m_strError.c_str());
        return;
    }
    for (auto _ : state) {
        if (writer.AddFrame(pixels.data()) != 0) {
            state.SkipWithError("frame write failed");
            break;
        }
    }
    writer.Abandon();
    writer.ReleaseEngine();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AviWriterMjpeg)->Args({720, 540})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
