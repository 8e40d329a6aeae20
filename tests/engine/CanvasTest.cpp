// The canvas rule: a side not rounded down to four, a mean taken wrongly, and
// a negative or 32-bit-overflowing size accepted instead of refused.

#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

// Local
#include "engine/Canvas.h"
#include "engine/PixelBuffer.h"

// Lets the sanitizer build return null for an impossible allocation, as the
// normal allocator does, instead of stopping the test.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1";
}

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(CanvasTest, SidesAreTheMeanOrTheCustomSizeRoundedDownToMultiplesOfFour)
{
    // Mode, custom width and height, first and second picture, expected sides.
    const std::int32_t cases[][9] = {
        {0, -5, 3, 640, 480, 800, 600, 720, 540}, {0, 0, 0, 641, 480, 798, 601, 716, 540},
        {1, 100, 100, 1, 1, 1, 1, 100, 100},     {1, 103, 99, 1, 1, 1, 1, 100, 96},
        {7, 12, 8, 640, 480, 800, 600, 12, 8},   {1, 4, 7, 640, 480, 800, 600, 4, 4},
        {0, 0, 0, 3, 4, 5, 4, 4, 4},             {1, 89478487, 4, 1, 1, 1, 1, 89478484, 4},
    };
    for (const auto& c : cases) {
        const auto canvas = ComputeCanvas(c[0], c[1], c[2], c[3], c[4], c[5], c[6]);
        ASSERT_TRUE(canvas) << c[1];
        EXPECT_EQ(canvas.Value().Width(), c[7]);
        EXPECT_EQ(canvas.Value().Height(), c[8]);
        EXPECT_EQ(canvas.Value().ImageSize(), static_cast<DWORD>(c[7] * 3 * c[8]));
    }
}

TEST(CanvasTest, AutomaticSidesOfManyPicturesAreTheirTruncatedMeans)
{
    // (640 + 800 + 1001) / 3 = 813 -> 812; (480 + 600 + 777) / 3 = 619 -> 616.
    const PictureSize three[] = {{640, 480}, {800, 600}, {1001, 777}};
    const auto canvas = ComputeCanvas(kSizeModeAutomatic, 0, 0, three);
    ASSERT_TRUE(canvas);
    EXPECT_EQ(canvas.Value().Width(), 812);
    EXPECT_EQ(canvas.Value().Height(), 616);
    // Sums that leave 32 bits still give the mean, neither wrapped nor refused.
    const std::vector<PictureSize> wide(1000, PictureSize{3000000, 4});
    EXPECT_EQ(ComputeCanvas(kSizeModeAutomatic, 0, 0, wide).Value().Width(), 3000000);
    EXPECT_FALSE(ComputeCanvas(kSizeModeAutomatic, 0, 0, std::span<const PictureSize>()));
    EXPECT_TRUE(ComputeCanvas(kSizeModeCustom, 8, 8, std::span<const PictureSize>()));
}

TEST(CanvasTest, RefusesEmptyOrNegativeSidesAndSizesBeyondThirtyTwoBits)
{
    // Custom sides that round down to 0, are negative or whose byte counts
    // overflow, then pictures whose mean is below 4 or whose sum overflows.
    const std::int32_t refused[][2] = {{0, 0}, {3, 2}, {1, 100}, {100, 3}, {-4, 100}, {100, -1},
                                       {std::numeric_limits<std::int32_t>::min(), 8}, {89478488, 4}, {26756, 26756}};
    for (const auto& r : refused) {
        const auto canvas = ComputeCanvas(1, r[0], r[1], 8, 8, 8, 8);
        ASSERT_FALSE(canvas) << r[0] << "x" << r[1];
        EXPECT_EQ(canvas.Error().m_nCode, EngineErrorCode::InvalidCanvas);
    }
    EXPECT_FALSE(ComputeCanvas(0, 0, 0, kMax, 8, kMax, 8));
    EXPECT_FALSE(ComputeCanvas(0, 0, 0, 2, 8, 5, 8));
    EXPECT_FALSE(ComputeCanvas(0, 0, 0, 8, 3, 8, 3));
    EXPECT_TRUE(ComputeCanvas(1, 26752, 26752, 8, 8, 8, 8));
}

TEST(CanvasTest, BuffersAreZeroedAndAnImpossibleOneIsAnErrorValue)
{
    const auto buffer = PixelBuffer::Allocate(ComputeCanvas(1, 12, 8, 0, 0, 0, 0).Value());
    ASSERT_EQ(buffer.Value().Size(), 288u);
    for (std::size_t i = 0; i < buffer.Value().Size(); ++i)
        ASSERT_EQ(buffer.Value().Data()[i], 0);

    const auto huge = PixelBuffer::Allocate(std::size_t{1} << 62);
    ASSERT_FALSE(huge);
    EXPECT_EQ(huge.Error().m_nCode, EngineErrorCode::OutOfMemory);
}

} // namespace
