// The blend: a channel, a frame or still weight one bit off, and a vector path
// or row counter that differs from the plain formula or leaves its buffers.

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <tuple>
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
    // The last of 50 frames stops just short of the second picture, except
    // where rounding the final addition carries to the next whole number.
    for (const auto& [a, b, w, nExpected] : {std::tuple{0, 255, 0.5, 127}, {255, 0, 0.5, 127}, {0, 255, kJustBelowOne, 254},
                                            {0, 1, kJustBelowOne, 0}, {100, 101, kJustBelowOne, 101}, {200, 17, kJustBelowOne, 17}})
        EXPECT_EQ(BlendChannel(a, b, w), nExpected) << a << " " << b << " " << w;

    EXPECT_EQ(FrameWeight(FrameStep(1), 0), 0.0); // A single frame shows the first picture.
    for (std::int32_t n : {50, 99, 104, 108, 162})
        EXPECT_EQ(FrameWeight(FrameStep(n), n - 1), kJustBelowOne) << n;
    for (std::int32_t n = 2; n <= 2000; ++n)
        ASSERT_LE(FrameWeight(FrameStep(n), n - 1), 1.0) << n;
    EXPECT_EQ(StillWeight(70), 0x1.6666666666667p-1); // p × 0.01, one bit above p / 100
}

// The frame weights of N = 2..300 and every still ratio, on every path this
// processor has, for all 65,536 (a, b) pairs. The plain loop is the reference
// on the weights renders use most; each vector path matches it there, and
// every render weight prepared for a path takes the integer form, with the
// lanes where the double sum's last bit depends on a corrected, and matches
// that path's double formula everywhere. The plain integer form runs on the
// reference weights only, which keeps the test quick under the sanitizers.
TEST(BlendTest, EveryPathAndTheIntegerFormMatchTheReferenceForAllPairsAtEveryRenderWeight)
{
    // Weights outside 0..1 never come from a render: the vector paths must hand
    // them to the plain loop rather than saturate, and there is no integer form.
    // 3/4 less two units in the last place has no integer form either (its
    // steps at the largest a follow no fixed-point line) and keeps the double
    // formula. 17/49 is an inner weight that no render makes.
    const std::set<double> noForm = {1.5, -0.25, 0x1.7fffffffffffep-1};
    // Each weight, and whether the plain loop checks it too.
    std::map<double, bool> weights = {{1.5, true}, {-0.25, true}, {0x1.7fffffffffffep-1, true}, {17.0 / 49.0, true}};
    for (std::int32_t n = 2; n <= 300; ++n)
        for (std::int32_t k = 0; k < n; ++k)
            weights[FrameWeight(FrameStep(n), k)] |= std::set{2, 3, 50, 99, 100, 104, 108, 162}.contains(n);
    for (std::int32_t p = 0; p <= 100; ++p)
        weights[StillWeight(p)] = true;

    // The pairs start one byte in, so that no path can rely on aligned buffers,
    // and one pair more follows, so that the tail loops run too.
    std::vector<BYTE> first(65538, 255), second(65538, 0), reference(65538), expected(65538), actual(65538);
    for (std::size_t i = 0; i < 65536; ++i) {
        first[i + 1] = static_cast<BYTE>(i >> 8);
        second[i + 1] = static_cast<BYTE>(i);
    }
    for (const auto& [w, bReference] : weights) {
        const bool bForm = !noForm.contains(w);
        if (bReference) {
            BlendBytesReference(&first[1], &second[1], &reference[1], 65537, w);
            const BlendWeight plain(w, BlendPath::Reference);
            plain.Blend(&first[1], &second[1], &actual[1], 65537);
            ASSERT_EQ(std::pair(plain.IsInteger(), actual == reference), std::pair(bForm, true)) << w;
        }
        for (BlendPath nPath : {BlendPath::Avx2, BlendPath::Avx512}) {
            if (!BlendPathAvailable(nPath))
                continue;
            BlendBytesOn(nPath, &first[1], &second[1], &expected[1], 65537, w);
            const BlendWeight weight(w, nPath);
            // An odd length and offset run the partial last step as well.
            std::fill(actual.begin(), actual.end(), 0);
            weight.Blend(&first[2], &second[2], &actual[2], 65536);
            weight.Blend(&first[1], &second[1], &actual[1], 1);
            ASSERT_EQ(std::tuple(!bReference || expected == reference, weight.IsInteger(), actual == expected),
                      std::tuple(true, bForm, true)) << "path " << static_cast<int>(nPath) << ", weight " << w;
        }
    }
}

TEST(BlendTest, RowCounterRunsFromTheEndOfTheBuffersAndStaysInside)
{
    const Canvas canvas = ComputeCanvas(1, 8, 4, 0, 0, 0, 0).Value();
    // Buffers start zeroed, so rows nothing writes stay 0.
    const auto allocate = [](std::size_t nSize) { return std::move(PixelBuffer::Allocate(nSize)).Value(); };
    PixelBuffer first = allocate(canvas.ImageSize()), second = allocate(canvas.ImageSize());
    PixelBuffer out = allocate(canvas.ImageSize()), shorter = allocate(canvas.ImageSize() - 1);
    for (PixelBuffer* pBuffer : {&second, &shorter})
        std::memset(pBuffer->Data(), 200, pBuffer->Size());

    BlendRow(first, second, out, canvas, 0, BlendWeight(0.5));
    BlendRowReference(first, second, out, canvas, 2, 1.0);
    for (std::int32_t r : {-1, 4})
        BlendRow(first, second, out, canvas, r, 1.0);
    // The top row lies at the end of the buffers, one byte past the shorter one.
    BlendRow(first, shorter, out, canvas, 0, 1.0);
    for (std::size_t i = 0; i < out.Size(); ++i) {
        const std::size_t nMemoryRow = i / 24;
        ASSERT_EQ(out.Data()[i], nMemoryRow == 3 ? 100 : nMemoryRow == 1 ? 200 : 0) << i;
    }
}

} // namespace
