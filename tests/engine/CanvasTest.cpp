#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

// Local
#include "engine/Canvas.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct SizeCase {
    const char* m_pszName;
    std::int32_t m_nMode, m_nWidth, m_nHeight;
    std::int32_t m_nFirstWidth, m_nFirstHeight, m_nSecondWidth, m_nSecondHeight;
    LONG m_nExpectedWidth, m_nExpectedHeight;
    DWORD m_nExpectedImageSize;
};

TEST(ComputeCanvasTest, SidesAreMeanOrCustomRoundedDownToMultiplesOfFour)
{
    const SizeCase cases[] = {
        {"automatic mean", 0, 0, 0, 640, 480, 800, 600, 720, 540, 1166400},
        {"automatic 719 rounds to 716", 0, 0, 0, 641, 480, 798, 601, 716, 540, 716 * 3 * 540},
        {"automatic ignores custom sides", 0, -5, 3, 8, 8, 8, 8, 8, 8, 192},
        {"custom exact", 1, 100, 100, 640, 480, 800, 600, 100, 100, 30000},
        {"custom rounds down", 1, 103, 99, 640, 480, 800, 600, 100, 96, 100 * 3 * 96},
        {"any nonzero mode is custom", 7, 12, 8, 640, 480, 800, 600, 12, 8, 288},
        {"sides below 4 give 0", 1, 3, 2, 640, 480, 800, 600, 0, 0, 0},
        {"one side below 4 empties the image", 1, 1, 100, 640, 480, 800, 600, 0, 100, 0},
        {"widest row that fits", 1, 89478487, 4, 1, 1, 1, 1, 89478484, 4, 1073741808},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.m_pszName);
        const auto canvas = ComputeCanvas(c.m_nMode, c.m_nWidth, c.m_nHeight, c.m_nFirstWidth, c.m_nFirstHeight,
                                          c.m_nSecondWidth, c.m_nSecondHeight);
        ASSERT_TRUE(canvas) << canvas.Error().m_strMessage;
        EXPECT_EQ(canvas.Value().Width(), c.m_nExpectedWidth);
        EXPECT_EQ(canvas.Value().Height(), c.m_nExpectedHeight);
        EXPECT_EQ(canvas.Value().ImageSize(), c.m_nExpectedImageSize);
    }
}

TEST(ComputeCanvasTest, HeaderIsTheOnlyNonZeroPartOfTheBitmapInfo)
{
    const auto canvas = ComputeCanvas(0, 0, 0, 640, 480, 800, 600);
    ASSERT_TRUE(canvas);

    BITMAPINFO expected;
    std::memset(&expected, 0, sizeof(expected));
    expected.bmiHeader.biSize = 40;
    expected.bmiHeader.biWidth = 720;
    expected.bmiHeader.biHeight = 540;
    expected.bmiHeader.biPlanes = 1;
    expected.bmiHeader.biBitCount = 24;
    expected.bmiHeader.biCompression = BI_RGB;
    expected.bmiHeader.biSizeImage = 1166400;
    EXPECT_EQ(std::memcmp(&canvas.Value().m_info, &expected, sizeof(BITMAPINFO)), 0);
}

TEST(ComputeCanvasTest, RefusesNegativeAndOversizedCanvases)
{
    struct Refusal {
        const char* m_pszName;
        std::int32_t m_nMode, m_nWidth, m_nHeight, m_nFirstWidth, m_nFirstHeight, m_nSecondWidth, m_nSecondHeight;
    };
    const Refusal refusals[] = {
        {"negative width", 1, -4, 100, 8, 8, 8, 8},
        {"negative height", 1, 100, -1, 8, 8, 8, 8},
        {"smallest int", 1, kMin, kMin, 8, 8, 8, 8},
        {"row bytes leave 32 bits", 1, 89478488, 4, 8, 8, 8, 8},
        {"largest int width", 1, kMax, 4, 8, 8, 8, 8},
        {"image size leaves 32 bits", 1, 30000, 30000, 8, 8, 8, 8},
        {"image size just over", 1, 26756, 26756, 8, 8, 8, 8},
        {"automatic sum would wrap", 0, 0, 0, kMax, 8, kMax, 8},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.m_pszName);
        const auto canvas = ComputeCanvas(r.m_nMode, r.m_nWidth, r.m_nHeight, r.m_nFirstWidth, r.m_nFirstHeight,
                                          r.m_nSecondWidth, r.m_nSecondHeight);
        ASSERT_FALSE(canvas);
        EXPECT_EQ(canvas.Error().m_nCode, EngineErrorCode::InvalidCanvas);
        EXPECT_FALSE(canvas.Error().m_strMessage.empty());
    }
    // The largest square that still fits is accepted.
    EXPECT_TRUE(ComputeCanvas(1, 26752, 26752, 8, 8, 8, 8));
}

} // namespace
