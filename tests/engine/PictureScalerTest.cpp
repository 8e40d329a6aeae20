// The scaler: reduction by picking pixels, enlargement without interpolation,
// and buffers of another size written. A picture of the canvas size arriving
// unchanged, and each fit's box (a stretched picture filling the canvas
// whatever its shape), are checked through plavex-cli (tests/cli).

#include <gtest/gtest.h>

// Qt
#include <QImage>

// Local
#include "engine/Canvas.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "platform/gfx/GfxBitmap.h"
#include "tests/support/TestKit.h"

namespace {

// Scales both pictures onto a custom canvas and reads the buffers back as
// top-down images, so the checks can speak of the pictures' own rows.
std::pair<QImage, QImage> Scale(const QImage& first, const QImage& second, int nWidth, int nHeight)
{
    const Canvas canvas = ComputeCanvas(1, nWidth, nHeight, 0, 0, 0, 0).Value();
    PixelBuffer buffers[] = {std::move(PixelBuffer::Allocate(canvas)).Value(), std::move(PixelBuffer::Allocate(canvas)).Value()};
    EXPECT_TRUE(ScaleToCanvas(GfxBitmap(first), GfxBitmap(second), canvas, buffers[0], buffers[1]));
    QImage images[2];
    for (int i = 0; i < 2; ++i)
        images[i] = QImage(buffers[i].Data(), nWidth, nHeight, nWidth * 3, QImage::Format_BGR888).mirrored().copy();
    return {images[0], images[1]};
}

TEST(PictureScalerTest, ReducingAveragesEnlargingInterpolatesAndWrongBuffersAreRefused)
{
    const QImage checkers = Picture(16, 16, [](int x, int y) { return (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); });
    const QImage halves = Picture(4, 4, [](int x, int) { return x < 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); });
    const auto [reduced, enlarged] = Scale(checkers, halves, 16, 4);
    int nBetween = 0;
    for (int x = 0; x < 16; ++x) {
        // Picking single pixels would give pure black or white.
        EXPECT_NEAR(qGreen(reduced.pixel(x, 1)), 128, 20) << x;
        const int nHere = qRed(enlarged.pixel(x, 1));
        EXPECT_LE(qRed(enlarged.pixel(x > 0 ? x - 1 : 0, 1)), nHere);
        nBetween += nHere > 0 && nHere < 255;
    }
    EXPECT_GT(nBetween, 0);

    const Canvas canvas = ComputeCanvas(1, 12, 8, 0, 0, 0, 0).Value();
    PixelBuffer wrong = std::move(PixelBuffer::Allocate(canvas.ImageSize() - 3)).Value();
    EXPECT_EQ(ScaleToCanvas(GfxBitmap(checkers), GfxBitmap(halves), canvas, wrong, wrong).Error().m_nCode,
              EngineErrorCode::InvalidCanvas);
}

} // namespace
