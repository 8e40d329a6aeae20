#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Local
#include "engine/Blend.h"
#include "engine/Canvas.h"
#include "engine/PixelBuffer.h"

namespace {

constexpr double kJustBelowOne = 1.0 - 0x1p-53;

TEST(BlendChannelTest, TruncatesTheRoundedDoubleResult)
{
    EXPECT_EQ(BlendChannel(0, 255, 0.5), 127);
    EXPECT_EQ(BlendChannel(255, 0, 0.5), 127);
    // The last frame of 50 stops just short of the second picture, except
    // where rounding the final add carries over to the next whole number.
    EXPECT_EQ(BlendChannel(0, 255, kJustBelowOne), 254);
    EXPECT_EQ(BlendChannel(0, 1, kJustBelowOne), 0);
    EXPECT_EQ(BlendChannel(100, 101, kJustBelowOne), 101);
    EXPECT_EQ(BlendChannel(200, 17, kJustBelowOne), 17);
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            ASSERT_EQ(BlendChannel(a, b, 0.0), a);
            ASSERT_EQ(BlendChannel(a, b, 1.0), b);
        }
}

TEST(BlendWeightTest, FrameWeightsRunFromZeroToAtMostOne)
{
    // A single frame shows the first picture.
    EXPECT_EQ(FrameStep(1), 0.0);
    EXPECT_EQ(FrameWeight(FrameStep(1), 0), 0.0);
    EXPECT_EQ(FrameStep(0), 0.0);

    EXPECT_EQ(FrameWeight(FrameStep(2), 1), 1.0);
    for (std::int32_t n : {50, 99, 104, 108, 162})
        EXPECT_EQ(FrameWeight(FrameStep(n), n - 1), kJustBelowOne) << n;
    for (std::int32_t n : {3, 49, 100})
        EXPECT_EQ(FrameWeight(FrameStep(n), n - 1), 1.0) << n;
    for (std::int32_t n = 2; n <= 2000; ++n) {
        const double dStep = FrameStep(n);
        ASSERT_EQ(FrameWeight(dStep, 0), 0.0);
        ASSERT_LE(FrameWeight(dStep, n - 1), 1.0) << n;
    }
}

TEST(BlendWeightTest, StillWeightIsHundredthsOfTheSliderPosition)
{
    EXPECT_EQ(StillWeight(0), 0.0);
    EXPECT_EQ(StillWeight(50), 0.5);
    EXPECT_EQ(StillWeight(100), 1.0);
    EXPECT_EQ(StillWeight(29), 29 * 0.01);
}

// Every weight the renders can produce for the listed frame counts and every
// slider position.
std::vector<double> RenderWeights()
{
    std::vector<double> weights;
    for (std::int32_t n : {2, 3, 50, 99, 100, 104, 108, 162}) {
        const double dStep = FrameStep(n);
        for (std::int32_t k = 0; k < n; ++k)
            weights.push_back(FrameWeight(dStep, k));
    }
    for (std::int32_t p = 0; p <= 100; ++p)
        weights.push_back(StillWeight(p));
    return weights;
}

std::vector<BlendPath> VectorPaths()
{
    std::vector<BlendPath> paths;
    for (BlendPath nPath : {BlendPath::Avx2, BlendPath::Avx512})
        if (BlendPathAvailable(nPath))
            paths.push_back(nPath);
    return paths;
}

TEST(BlendFastPathTest, EveryPathMatchesTheReferenceForAllPairsAtEveryRenderWeight)
{
    std::vector<BYTE> first(65536);
    std::vector<BYTE> second(65536);
    for (int i = 0; i < 65536; ++i) {
        first[static_cast<std::size_t>(i)] = static_cast<BYTE>(i >> 8);
        second[static_cast<std::size_t>(i)] = static_cast<BYTE>(i & 0xFF);
    }
    std::vector<BYTE> expected(65536);
    std::vector<BYTE> actual(65536);
    const std::vector<BlendPath> paths = VectorPaths();
    for (double w : RenderWeights()) {
        BlendBytesReference(first.data(), second.data(), expected.data(), expected.size(), w);
        for (std::size_t i = 0; i < expected.size(); i += 4099)
            ASSERT_EQ(expected[i], BlendChannel(first[i], second[i], w));
        for (BlendPath nPath : paths) {
            std::memset(actual.data(), 0xA5, actual.size());
            BlendBytesOn(nPath, first.data(), second.data(), actual.data(), actual.size(), w);
            ASSERT_EQ(actual, expected) << "path " << static_cast<int>(nPath) << " weight " << w;
        }
        BlendBytes(first.data(), second.data(), actual.data(), actual.size(), w);
        ASSERT_EQ(actual, expected) << "active path, weight " << w;
    }
}

TEST(BlendFastPathTest, EveryPathHandlesAnyLengthOffsetAndStrayWeight)
{
    std::mt19937 random(12345);
    std::vector<BYTE> first(200);
    std::vector<BYTE> second(200);
    for (std::size_t i = 0; i < first.size(); ++i) {
        first[i] = static_cast<BYTE>(random());
        second[i] = static_cast<BYTE>(random());
    }
    std::vector<BlendPath> paths = VectorPaths();
    paths.push_back(BlendPath::Reference);
    for (BlendPath nPath : paths) {
        // Weights outside 0..1 are not produced by the renders; the vector
        // paths hand them to the reference loop rather than saturate.
        for (double w : {17.0 / 49.0, 1.5, -0.25}) {
            for (std::size_t nOffset = 0; nOffset < 4; ++nOffset) {
                for (std::size_t nCount = 0; nCount <= 70; ++nCount) {
                    std::vector<BYTE> expected(first.size(), 0x5A);
                    std::vector<BYTE> actual(first.size(), 0x5A);
                    BlendBytesReference(&first[nOffset], &second[nOffset], &expected[nOffset], nCount, w);
                    BlendBytesOn(nPath, &first[nOffset], &second[nOffset], &actual[nOffset], nCount, w);
                    ASSERT_EQ(actual, expected) << "path " << static_cast<int>(nPath) << " offset " << nOffset
                                                << " count " << nCount << " weight " << w;
                }
            }
        }
    }
}

class BlendRowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto canvas = ComputeCanvas(1, 8, 4, 0, 0, 0, 0);
        ASSERT_TRUE(canvas);
        m_canvas = canvas.Value();
        m_first = Filled(0);
        m_second = Filled(200);
        m_out = Filled(7);
    }

    PixelBuffer Filled(BYTE nValue) const
    {
        auto buffer = PixelBuffer::Allocate(m_canvas);
        EXPECT_TRUE(buffer);
        std::memset(buffer.Value().Data(), nValue, buffer.Value().Size());
        return std::move(buffer).Value();
    }

    // The memory rows of the output, each as its distinct byte values.
    std::vector<BYTE> RowValues() const
    {
        std::vector<BYTE> values;
        const std::size_t nStride = static_cast<std::size_t>(m_canvas.Stride());
        for (std::size_t m = 0; m < 4; ++m) {
            const BYTE* pRow = m_out.Data() + m * nStride;
            for (std::size_t i = 1; i < nStride; ++i)
                EXPECT_EQ(pRow[i], pRow[0]) << "row " << m;
            values.push_back(pRow[0]);
        }
        return values;
    }

    Canvas m_canvas;
    PixelBuffer m_first;
    PixelBuffer m_second;
    PixelBuffer m_out;
};

TEST_F(BlendRowTest, RowCounterRunsFromTheEndOfTheBuffers)
{
    BlendRow(m_first, m_second, m_out, m_canvas, 0, 0.5);
    EXPECT_EQ(RowValues(), (std::vector<BYTE>{7, 7, 7, 100}));
    BlendRowReference(m_first, m_second, m_out, m_canvas, 3, 1.0);
    EXPECT_EQ(RowValues(), (std::vector<BYTE>{200, 7, 7, 100}));
}

TEST_F(BlendRowTest, IgnoresRowsOutsideTheCanvasAndMismatchedBuffers)
{
    BlendRow(m_first, m_second, m_out, m_canvas, -1, 0.5);
    BlendRow(m_first, m_second, m_out, m_canvas, 4, 0.5);
    PixelBuffer small = std::move(PixelBuffer::Allocate(m_canvas.ImageSize() - 1)).Value();
    BlendRow(m_first, small, m_out, m_canvas, 0, 0.5);
    BlendRow(m_first, m_second, small, m_canvas, 0, 0.5);

    Canvas empty = m_canvas;
    empty.Header().biWidth = 0;
    BlendRow(m_first, m_second, m_out, empty, 0, 0.5);
    EXPECT_EQ(RowValues(), (std::vector<BYTE>{7, 7, 7, 7}));
}

} // namespace
