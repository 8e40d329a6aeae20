// The scaler: reduction by picking pixels, enlargement without interpolation,
// a shape kept, and buffers of another size written. A picture of the canvas
// size arriving unchanged is checked through plavex-cli (tests/cli).

#include <vector>

#include <gtest/gtest.h>

// Qt
#include <QImage>

// Local
#include "engine/Canvas.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "platform/gfx/GfxBitmap.h"

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

QImage Filled(int nWidth, int nHeight, QRgb (*colour)(int x, int y))
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.setPixel(x, y, colour(x, y));
    return image;
}

TEST(PictureScalerTest, ReducingAveragesEnlargingInterpolatesNeitherKeepsTheShapeAndWrongBuffersAreRefused)
{
    const QImage checkers = Filled(16, 16, [](int x, int y) { return (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); });
    const QImage halves = Filled(4, 4, [](int x, int) { return x < 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255); });
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

    // A wide picture (red over blue) and a tall one (green beside yellow)
    // each fill the whole square canvas.
    const QImage wide = Filled(40, 8, [](int, int y) { return y < 4 ? qRgb(255, 0, 0) : qRgb(0, 0, 255); });
    const QImage tall = Filled(8, 40, [](int x, int) { return x < 4 ? qRgb(0, 255, 0) : qRgb(255, 255, 0); });
    const auto [first, second] = Scale(wide, tall, 16, 16);
    for (int i : {0, 15})
        EXPECT_EQ(std::vector<QRgb>({first.pixel(i, 0), first.pixel(i, 15), second.pixel(0, i), second.pixel(15, i)}),
                  std::vector<QRgb>({qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(255, 255, 0)}));

    const Canvas canvas = ComputeCanvas(1, 12, 8, 0, 0, 0, 0).Value();
    PixelBuffer wrong = std::move(PixelBuffer::Allocate(canvas.ImageSize() - 3)).Value();
    EXPECT_EQ(ScaleToCanvas(GfxBitmap(wide), GfxBitmap(tall), canvas, wrong, wrong).Error().m_nCode,
              EngineErrorCode::InvalidCanvas);
}

} // namespace
