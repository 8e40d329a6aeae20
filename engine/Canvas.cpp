#include "engine/Canvas.h"

#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

EngineError CanvasError(const std::string& strWhat)
{
    return EngineError{EngineErrorCode::InvalidCanvas, strWhat};
}

} // namespace

EngineResult<Canvas> ComputeCanvas(std::int32_t nSizeMode, std::int32_t nWidth, std::int32_t nHeight,
                                   std::int32_t nFirstWidth, std::int32_t nFirstHeight,
                                   std::int32_t nSecondWidth, std::int32_t nSecondHeight)
{
    const PictureSize pictures[] = {{nFirstWidth, nFirstHeight}, {nSecondWidth, nSecondHeight}};
    return ComputeCanvas(nSizeMode, nWidth, nHeight, pictures);
}

EngineResult<Canvas> ComputeCanvas(std::int32_t nSizeMode, std::int32_t nWidth, std::int32_t nHeight,
                                   std::span<const PictureSize> pictures)
{
    // The sums of the automatic mode are formed in 64 bits, which hold the
    // sides of any number of pictures that fits in memory, so large pictures
    // are refused instead of wrapping around.
    std::int64_t nRawWidth = nWidth;
    std::int64_t nRawHeight = nHeight;
    if (nSizeMode == kSizeModeAutomatic) {
        if (pictures.empty())
            return CanvasError("there is no picture to take the size from");
        std::int64_t nSumWidth = 0;
        std::int64_t nSumHeight = 0;
        for (const PictureSize& picture : pictures) {
            nSumWidth += picture.m_nWidth;
            nSumHeight += picture.m_nHeight;
        }
        const auto nCount = static_cast<std::int64_t>(pictures.size());
        nRawWidth = nSumWidth / nCount;
        nRawHeight = nSumHeight / nCount;
    }
    if (nRawWidth < 0 || nRawHeight < 0)
        return CanvasError("the picture size must not be negative");

    const std::int64_t nW = (nRawWidth / 4) * 4;
    const std::int64_t nH = (nRawHeight / 4) * 4;
    // A side below 4 rounds down to 0: a picture without pixels, which no
    // viewer opens and no video stream takes.
    if (nW == 0 || nH == 0)
        return CanvasError("the picture must be at least 4 x 4 pixels (" + std::to_string(nRawWidth) + " x " +
                           std::to_string(nRawHeight) + " given)");
    const std::int64_t nRowBits = nW * 24 + 31;
    if (nRowBits > kInt32Max)
        return CanvasError("the picture is too wide (" + std::to_string(nW) + " pixels)");
    const std::int64_t nImageSize = (nRowBits / 32) * nH * 4;
    if (nImageSize > kInt32Max)
        return CanvasError("the picture is too large (" + std::to_string(nW) + " x " + std::to_string(nH) +
                           " pixels)");

    Canvas canvas;
    BITMAPINFOHEADER& header = canvas.Header();
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = static_cast<LONG>(nW);
    header.biHeight = static_cast<LONG>(nH);
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(nImageSize);
    return canvas;
}
