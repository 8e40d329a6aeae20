// The preview's costs on a 12-megapixel pair: loading and reducing one
// picture (on a worker thread, once per file), scaling the reduced pair to
// the window (when the size or the window changes) and one slider move
// (blend and hand-over to the screen), which must stay far below a frame.

#include <cstdint>

#include <benchmark/benchmark.h>

// Qt
#include <QImage>
#include <QTemporaryDir>

// Local
#include "engine/PreviewBlend.h"
#include "engine/PreviewPicture.h"

namespace {

constexpr std::int32_t kMaxSide = 1024;

// A 12-megapixel photo-like picture: smooth gradients with some detail.
QImage Photo(int nSeed)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pLine[x] = qRgb((x / 16 + nSeed * 40) & 255, (y / 12 + x / 64) & 255, ((x ^ y) + nSeed) & 255);
    }
    return image;
}

// A 12-megapixel JPEG of our own, or the picture PLAVEX_BENCH_PICTURE names
// (a HEIC photo, say).
void BM_LoadPreviewPicture12Mpx(benchmark::State& state)
{
    QTemporaryDir dir;
    QString strPath = qEnvironmentVariable("PLAVEX_BENCH_PICTURE");
    if (strPath.isEmpty()) {
        strPath = dir.filePath("photo.jpg");
        Photo(1).save(strPath, "JPEG", 90);
    }
    for (auto _ : state) {
        auto picture = LoadPreviewPicture(strPath.toStdString(), kMaxSide);
        if (!picture)
            state.SkipWithError("the picture did not load");
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_LoadPreviewPicture12Mpx)->Unit(benchmark::kMillisecond);

// Views: a fresh window, the same at twice the scale, a large window at twice the scale.
void ViewSizes(benchmark::internal::Benchmark* pBench)
{
    pBench->Args({400, 300})->Args({800, 600})->Args({1600, 1200});
}

struct ReducedPair {
    GfxBitmap m_first{Photo(1).scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)};
    GfxBitmap m_second{Photo(2).scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)};
};

void BM_PreviewScaleToWindow(benchmark::State& state)
{
    const ReducedPair pair;
    for (auto _ : state) {
        auto blend = PreviewBlend::Make(pair.m_first, pair.m_second, static_cast<std::int32_t>(state.range(0)),
                                        static_cast<std::int32_t>(state.range(1)));
        benchmark::DoNotOptimize(blend);
    }
}
BENCHMARK(BM_PreviewScaleToWindow)->Apply(ViewSizes)->Unit(benchmark::kMicrosecond);

void BM_PreviewSliderMove(benchmark::State& state)
{
    const ReducedPair pair;
    auto made = PreviewBlend::Make(pair.m_first, pair.m_second, static_cast<std::int32_t>(state.range(0)),
                                   static_cast<std::int32_t>(state.range(1)));
    PreviewBlend& blend = made.Value();
    const Canvas& canvas = blend.GetCanvas();
    int nPos = 0;
    for (auto _ : state) {
        // The blend, then the top-down copy the screen takes.
        const PixelBuffer& output = blend.Blend(nPos++ % 101 * 0.01);
        QImage image = QImage(output.Data(), canvas.Width(), canvas.Height(), canvas.Stride(), QImage::Format_BGR888)
                           .mirrored(false, true);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PreviewSliderMove)->Apply(ViewSizes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
