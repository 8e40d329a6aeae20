// The blend: a channel, a frame or still weight one bit off, and a vector path
// or row counter that differs from the plain formula or leaves its buffers.

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include <gtest/gtest.h>

// Local
#include "engine/Blend.h"
#include "engine/BlendWeight.h"
#include "engine/Canvas.h"
#include "engine/PixelBuffer.h"

namespace {

constexpr double kJustBelowOne = 1.0 - 0x1p-53;

TEST(BlendTest, ChannelAndWeightsAreExactToTheBit)
{
    EXPECT_EQ(BlendChannel(0, 255, 0.5), 127);
    EXPECT_EQ(BlendChannel(255, 0, 0.5), 127);
    // The last of 50 frames stops just short of the second picture, except
    // where rounding the final addition carries to the next whole number.
    EXPECT_EQ(BlendChannel(0, 255, kJustBelowOne), 254);
    EXPECT_EQ(BlendChannel(0, 1, kJustBelowOne), 0);
    EXPECT_EQ(BlendChannel(100, 101, kJustBelowOne), 101);
    EXPECT_EQ(BlendChannel(200, 17, kJustBelowOne), 17);

    EXPECT_EQ(FrameWeight(FrameStep(1), 0), 0.0); // A single frame shows the first picture.
    EXPECT_EQ(FrameWeight(FrameStep(2), 1), 1.0);
    for (std::int32_t n : {50, 99, 104, 108, 162})
        EXPECT_EQ(FrameWeight(FrameStep(n), n - 1), kJustBelowOne) << n;
    for (std::int32_t n = 2; n <= 2000; ++n)
        ASSERT_LE(FrameWeight(FrameStep(n), n - 1), 1.0) << n;
    EXPECT_EQ(StillWeight(50), 0.5);
    EXPECT_EQ(StillWeight(100), 1.0);
}

TEST(BlendTest, EveryVectorPathMatchesTheReferenceForAllPairsAtEveryRenderWeight)
{
    std::vector<double> weights;
    for (std::int32_t n : {2, 3, 50, 99, 100, 104, 108, 162})
        for (std::int32_t k = 0; k < n; ++k)
            weights.push_back(FrameWeight(FrameStep(n), k));
    for (std::int32_t p = 0; p <= 100; ++p)
        weights.push_back(StillWeight(p));

    // Every (a, b) pair, starting one byte in so that no path can rely on
    // aligned buffers, and one pair more so that the tail loop runs too.
    std::vector<BYTE> first(65538, 255), second(65538, 0), expected(65538), actual(65538);
    for (std::size_t i = 0; i < 65536; ++i) {
        first[i + 1] = static_cast<BYTE>(i >> 8);
        second[i + 1] = static_cast<BYTE>(i);
    }
    // Weights outside 0..1 never come from a render; the vector paths must
    // hand them to the reference loop rather than saturate.
    weights.insert(weights.end(), {1.5, -0.25});
    for (double w : weights) {
        BlendBytesReference(&first[1], &second[1], &expected[1], 65537, w);
        for (std::size_t i = 1; i < 65536; i += 4099)
            ASSERT_EQ(expected[i], BlendChannel(first[i], second[i], w));
        for (BlendPath nPath : {BlendPath::Avx2, BlendPath::Avx512}) {
            if (!BlendPathAvailable(nPath))
                continue;
            std::fill(actual.begin(), actual.end(), 0);
            BlendBytesOn(nPath, &first[1], &second[1], &actual[1], 65537, w);
            ASSERT_EQ(actual, expected) << "path " << static_cast<int>(nPath) << ", weight " << w;
        }
    }
}

// The fixed-point form, on every path this processor has, for every weight a
// render can use: N = 2..300 frames and every still ratio. Where it is used it
// gives the double formula's byte for all 65,536 pairs; it is refused exactly
// where the double result for some difference b − a depends on a as well
// (there no form a + c(b − a) can match, so refusing costs nothing).
TEST(BlendTest, IntegerFormMatchesTheDoubleFormulaForEveryRenderWeight)
{
    // Where the form is refused is checked on the stills and the first 50
    // frame counts, which keeps the test quick under the sanitizers.
    std::set<double> weights, refusalChecked;
    for (std::int32_t n = 2; n <= 300; ++n)
        for (std::int32_t k = 0; k < n; ++k)
            (n <= 50 ? refusalChecked : weights).insert(FrameWeight(FrameStep(n), k));
    for (std::int32_t p = 0; p <= 100; ++p)
        refusalChecked.insert(StillWeight(p));
    weights.insert(refusalChecked.begin(), refusalChecked.end());

    std::vector<BYTE> first(65536), second(65536), expected(65536), actual(65536);
    for (std::size_t i = 0; i < 65536; ++i) {
        first[i] = static_cast<BYTE>(i >> 8);
        second[i] = static_cast<BYTE>(i);
    }
    for (BlendPath nPath : {BlendPath::Avx2, BlendPath::Avx512}) {
        if (!BlendPathAvailable(nPath))
            continue;
        std::size_t nInteger = 0;
        for (double w : weights) {
            const BlendWeight weight(w, nPath);
            BlendBytesOn(nPath, first.data(), second.data(), expected.data(), 65536, w);
            // An odd length and offset run the partial last step as well.
            weight.Blend(first.data() + 1, second.data() + 1, actual.data() + 1, 65535);
            weight.Blend(first.data(), second.data(), actual.data(), 1);
            ASSERT_EQ(actual, expected) << "path " << static_cast<int>(nPath) << ", weight " << w;

            nInteger += weight.IsInteger() ? 1 : 0;
            if (refusalChecked.count(w) == 0)
                continue;
            int steps[511];
            std::fill(std::begin(steps), std::end(steps), 1000);
            bool bStepsFollowDifference = true;
            for (std::size_t i = 0; i < 65536 && bStepsFollowDifference; ++i) {
                int& nStep = steps[second[i] - first[i] + 255];
                const int nHere = expected[i] - first[i];
                bStepsFollowDifference = nStep == 1000 || nStep == nHere;
                nStep = nHere;
            }
            ASSERT_EQ(weight.IsInteger(), bStepsFollowDifference) << "weight " << w;
        }
        EXPECT_GT(nInteger, weights.size() * 4 / 5);
    }
    // The plain path and weights no render makes: outside 0..1 there is no
    // integer form, and the double formula still answers.
    for (double w : {0.0, 0.5, 17.0 / 49.0, 1.0, 1.5, -0.25}) {
        const BlendWeight weight(w, BlendPath::Reference);
        EXPECT_EQ(weight.IsInteger(), w >= 0.0 && w <= 1.0) << w;
        BlendBytesReference(first.data(), second.data(), expected.data(), 65536, w);
        weight.Blend(first.data(), second.data(), actual.data(), 65536);
        ASSERT_EQ(actual, expected) << w;
    }
}

TEST(BlendTest, RowCounterRunsFromTheEndOfTheBuffersAndStaysInside)
{
    const Canvas canvas = ComputeCanvas(1, 8, 4, 0, 0, 0, 0).Value();
    PixelBuffer first = std::move(PixelBuffer::Allocate(canvas)).Value();
    PixelBuffer second = std::move(PixelBuffer::Allocate(canvas)).Value();
    PixelBuffer out = std::move(PixelBuffer::Allocate(canvas)).Value();
    PixelBuffer shorter = std::move(PixelBuffer::Allocate(canvas.ImageSize() - 1)).Value();
    std::memset(second.Data(), 200, second.Size());

    BlendRow(first, second, out, canvas, 0, BlendWeight(0.5));
    BlendRowReference(first, second, out, canvas, 2, 1.0);
    for (std::int32_t r : {-1, 4})
        BlendRow(first, second, out, canvas, r, 1.0);
    BlendRow(first, shorter, out, canvas, 3, 1.0);
    for (std::size_t i = 0; i < out.Size(); ++i) {
        const std::size_t nMemoryRow = i / 24;
        ASSERT_EQ(out.Data()[i], nMemoryRow == 3 ? 100 : nMemoryRow == 1 ? 200 : 0) << i;
    }
}

} // namespace
