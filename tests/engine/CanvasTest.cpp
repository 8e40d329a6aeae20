// The canvas rule: a side not rounded down to four, a mean taken wrongly, and
// a negative or 32-bit-overflowing size accepted instead of refused.

#include <cstdint>
#include <limits>
#include <tuple>
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

TEST(CanvasTest, SidesAreTheMeanOrTheCustomSizeRoundedDownToFourOrRefused)
{
    // Mode, custom width and height, first and second picture, expected sides
    // (0 × 0: refused). Refused are custom sides that round down to 0, are
    // negative or whose byte counts overflow, then pictures whose mean is below
    // 4 or whose sum overflows.
    const std::int32_t cases[][9] = {
        {0, -5, 3, 640, 480, 800, 600, 720, 540}, {0, 0, 0, 641, 480, 798, 601, 716, 540},
        {1, 103, 99, 1, 1, 1, 1, 100, 96}, {7, 12, 8, 640, 480, 800, 600, 12, 8}, {0, 0, 0, 3, 4, 5, 4, 4, 4},
        {1, 89478487, 4, 1, 1, 1, 1, 89478484, 4}, {1, 26752, 26752, 8, 8, 8, 8, 26752, 26752},
        {1, 3, 2, 8, 8, 8, 8, 0, 0}, {1, 100, 3, 8, 8, 8, 8, 0, 0}, {1, -4, 100, 8, 8, 8, 8, 0, 0},
        {1, 100, -1, 8, 8, 8, 8, 0, 0}, {1, 89478488, 4, 8, 8, 8, 8, 0, 0},
        {1, 26756, 26756, 8, 8, 8, 8, 0, 0}, {0, 0, 0, kMax, 8, kMax, 8, 0, 0}, {0, 0, 0, 2, 8, 5, 8, 0, 0},
        {0, 0, 0, 8, 3, 8, 3, 0, 0},
    };
    for (const auto& c : cases) {
        const auto canvas = ComputeCanvas(c[0], c[1], c[2], c[3], c[4], c[5], c[6]);
        ASSERT_EQ(static_cast<bool>(canvas), c[7] != 0) << c[1] << "x" << c[2] << ", " << c[3] << "x" << c[4];
        if (canvas)
            EXPECT_EQ(std::make_tuple(canvas.Value().Width(), canvas.Value().Height(), canvas.Value().ImageSize()),
                      std::make_tuple(c[7], c[8], static_cast<DWORD>(c[7] * 3 * c[8])));
        else
            EXPECT_EQ(canvas.Error().m_nCode, EngineErrorCode::InvalidCanvas);
    }
}

TEST(CanvasTest, ManyPicturesGiveTheirMeanAndImpossibleBuffersAreRefused)
{
    // Sums that leave 32 bits still give the mean, neither wrapped nor refused
    // (the slideshows of the batch tool's tests check smaller means).
    const std::vector<PictureSize> wide(1000, PictureSize{3000000, 4});
    EXPECT_EQ(ComputeCanvas(kSizeModeAutomatic, 0, 0, wide).Value().Width(), 3000000);
    EXPECT_FALSE(ComputeCanvas(kSizeModeAutomatic, 0, 0, std::span<const PictureSize>()));
    EXPECT_TRUE(ComputeCanvas(kSizeModeCustom, 8, 8, std::span<const PictureSize>()));
    EXPECT_EQ(PixelBuffer::Allocate(std::size_t{1} << 62).Error().m_nCode, EngineErrorCode::OutOfMemory);
}

} // namespace
