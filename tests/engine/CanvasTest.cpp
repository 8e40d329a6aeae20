// The canvas rule over many pictures, and an impossible buffer: sums that
// wrap or are refused, a canvas without pictures, an allocation that stops the
// program. The rule itself is checked against a model over the canvas fuzz
// target's seeds (fuzz/FuzzCanvas.cpp), which CTest replays.

#include <cstdint>
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
