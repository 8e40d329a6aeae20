#pragma once

// The working geometry of one render: a 24-bit, uncompressed, bottom-up
// bitmap whose sides are multiples of 4, so rows need no padding.

#include <cstdint>
#include <span>

// Local
#include "engine/EngineResult.h"
#include "platform/win/WinTypes.h"

struct Canvas {
    // The header sits at the head of a zero-filled BITMAPINFO; its unused
    // colour entry stays zero. The header is the only record of the geometry.
    BITMAPINFO m_info{};

    BITMAPINFOHEADER& Header() noexcept { return m_info.bmiHeader; }
    const BITMAPINFOHEADER& Header() const noexcept { return m_info.bmiHeader; }

    LONG Width() const noexcept { return m_info.bmiHeader.biWidth; }
    LONG Height() const noexcept { return m_info.bmiHeader.biHeight; }
    DWORD ImageSize() const noexcept { return m_info.bmiHeader.biSizeImage; }
    // Bytes per row: width × 3, already a multiple of 4.
    LONG Stride() const noexcept { return m_info.bmiHeader.biWidth * 3; }
};

// Size modes of the settings pages; any nonzero mode counts as custom.
inline constexpr std::int32_t kSizeModeAutomatic = 0;
inline constexpr std::int32_t kSizeModeCustom = 1;

// The width and height of one source picture, as it will be shown.
struct PictureSize {
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
};

// Computes the canvas from the size mode and custom sides of a settings page
// and the sizes of the pictures. Automatic mode takes the mean of all the
// pictures (each sum divided by their count, truncated); each side is then
// rounded down to a multiple of 4. Negative sides, sides below 4 (which would
// round down to 0), automatic mode without pictures, and sizes whose row or
// image byte count leaves the signed 32-bit range are refused with
// InvalidCanvas.
EngineResult<Canvas> ComputeCanvas(std::int32_t nSizeMode, std::int32_t nWidth, std::int32_t nHeight,
                                   std::span<const PictureSize> pictures);

// The same for the two pictures of the wizard's renders.
EngineResult<Canvas> ComputeCanvas(std::int32_t nSizeMode, std::int32_t nWidth, std::int32_t nHeight,
                                   std::int32_t nFirstWidth, std::int32_t nFirstHeight,
                                   std::int32_t nSecondWidth, std::int32_t nSecondHeight);
