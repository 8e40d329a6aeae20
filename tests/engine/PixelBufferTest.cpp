#include <cstddef>
#include <cstdint>

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

TEST(PixelBufferTest, HoldsTheCanvasImageSizeZeroFilled)
{
    const auto canvas = ComputeCanvas(1, 12, 8, 0, 0, 0, 0);
    ASSERT_TRUE(canvas);
    auto buffer = PixelBuffer::Allocate(canvas.Value());
    ASSERT_TRUE(buffer);
    ASSERT_EQ(buffer.Value().Size(), 288u);
    for (std::size_t i = 0; i < buffer.Value().Size(); ++i)
        ASSERT_EQ(buffer.Value().Data()[i], 0);

    auto empty = PixelBuffer::Allocate(0);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty.Value().Size(), 0u);
}

TEST(PixelBufferTest, ImpossibleAllocationIsAnErrorValue)
{
    const auto buffer = PixelBuffer::Allocate(std::size_t{1} << 62);
    ASSERT_FALSE(buffer);
    EXPECT_EQ(buffer.Error().m_nCode, EngineErrorCode::OutOfMemory);
}

} // namespace
