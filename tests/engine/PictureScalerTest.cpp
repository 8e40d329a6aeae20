#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Qt
#include <QColor>
#include <QImage>

// Local
#include "engine/Canvas.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "platform/gfx/GfxBitmap.h"
#include "tests/engine/TestPictureFiles.h"

namespace {

struct Scaled {
    Canvas m_canvas;
    PixelBuffer m_first;
    PixelBuffer m_second;

    // The colour at (x, y) counted from the top of the picture.
    QColor At(const PixelBuffer& buffer, int x, int y) const
    {
        const std::size_t nRow = static_cast<std::size_t>(m_canvas.Height() - 1 - y);
        const BYTE* p = buffer.Data() + (nRow * static_cast<std::size_t>(m_canvas.Width()) + static_cast<std::size_t>(x)) * 3;
        return QColor(p[2], p[1], p[0]);
    }
};

Scaled Scale(const QImage& first, const QImage& second, int nWidth, int nHeight)
{
    auto canvas = ComputeCanvas(1, nWidth, nHeight, 0, 0, 0, 0);
    EXPECT_TRUE(canvas);
    Scaled result{canvas.Value(), std::move(PixelBuffer::Allocate(canvas.Value())).Value(),
                  std::move(PixelBuffer::Allocate(canvas.Value())).Value()};
    const auto scaled = ScaleToCanvas(GfxBitmap(first), GfxBitmap(second), result.m_canvas, result.m_first,
                                      result.m_second);
    EXPECT_TRUE(scaled) << (scaled ? "" : scaled.Error().m_strMessage);
    return result;
}

QImage Pattern(int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.setPixelColor(x, y, TestPictureFiles::RgbPattern(x, y));
    return image;
}

TEST(PictureScalerTest, PictureOfCanvasSizeArrivesByteForByteBottomUp)
{
    const QImage first = Pattern(12, 8);
    const QImage second = first.mirrored(true, false);
    const Scaled scaled = Scale(first, second, 12, 8);
    std::vector<BYTE> expected;
    for (int m = 0; m < 8; ++m)
        for (int x = 0; x < 12; ++x) {
            const QColor color = first.pixelColor(x, 7 - m);
            expected.insert(expected.end(), {static_cast<BYTE>(color.blue()), static_cast<BYTE>(color.green()),
                                             static_cast<BYTE>(color.red())});
        }
    ASSERT_EQ(scaled.m_first.Size(), expected.size());
    EXPECT_EQ(std::memcmp(scaled.m_first.Data(), expected.data(), expected.size()), 0);
    EXPECT_EQ(scaled.At(scaled.m_second, 0, 0), first.pixelColor(11, 0));
}

TEST(PictureScalerTest, ReducingAveragesAndEnlargingInterpolates)
{
    QImage checkers(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            checkers.setPixelColor(x, y, (x + y) % 2 ? Qt::white : Qt::black);
    QImage halves(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            halves.setPixelColor(x, y, x < 2 ? Qt::black : Qt::white);

    const Scaled scaled = Scale(checkers, halves, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            // Picking single pixels would give pure black or white.
            EXPECT_NEAR(scaled.At(scaled.m_first, x, y).green(), 128, 20) << x << "," << y;
        }

    const Scaled enlarged = Scale(checkers, halves, 16, 4);
    bool bSawBlend = false;
    for (int x = 1; x < 16; ++x) {
        const int nLeft = enlarged.At(enlarged.m_second, x - 1, 1).red();
        const int nHere = enlarged.At(enlarged.m_second, x, 1).red();
        EXPECT_LE(nLeft, nHere) << x;
        bSawBlend = bSawBlend || (nHere > 0 && nHere < 255);
    }
    EXPECT_TRUE(bSawBlend);
}

TEST(PictureScalerTest, EachPictureFillsTheWholeCanvasInItsOwnBuffer)
{
    // The first picture is wide with a red top and a blue bottom; the second
    // is tall with a green left and a yellow right. Neither keeps its shape.
    QImage wide(40, 8, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 40; ++x)
            wide.setPixelColor(x, y, Qt::red);
    QImage tall(8, 40, QImage::Format_RGB32);
    tall.fill(Qt::yellow);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 4; ++x)
            tall.setPixelColor(x, y, Qt::green);

    const Scaled scaled = Scale(wide, tall, 16, 16);
    for (int i : {0, 15}) {
        EXPECT_EQ(scaled.At(scaled.m_first, i, 0), QColor(Qt::red));
        EXPECT_EQ(scaled.At(scaled.m_first, i, 15), QColor(Qt::blue));
        EXPECT_EQ(scaled.At(scaled.m_second, 0, i), QColor(Qt::green));
        EXPECT_EQ(scaled.At(scaled.m_second, 15, i), QColor(Qt::yellow));
    }
}

TEST(PictureScalerTest, RefusesBuffersThatDoNotMatchTheCanvas)
{
    const auto canvas = ComputeCanvas(1, 8, 8, 0, 0, 0, 0);
    ASSERT_TRUE(canvas);
    PixelBuffer right = std::move(PixelBuffer::Allocate(canvas.Value())).Value();
    PixelBuffer wrong = std::move(PixelBuffer::Allocate(canvas.Value().ImageSize() - 3)).Value();
    const GfxBitmap picture(Pattern(5, 5));
    const auto result = ScaleToCanvas(picture, picture, canvas.Value(), right, wrong);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.Error().m_nCode, EngineErrorCode::InvalidCanvas);

    // An empty canvas has nothing to fill.
    const auto empty = ComputeCanvas(1, 2, 100, 0, 0, 0, 0);
    ASSERT_TRUE(empty);
    PixelBuffer none;
    PixelBuffer none2;
    EXPECT_TRUE(ScaleToCanvas(picture, picture, empty.Value(), none, none2));
}

} // namespace
