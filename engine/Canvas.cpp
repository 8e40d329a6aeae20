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
    // The sums of the automatic mode are formed in 64 bits so that two large
    // pictures are refused instead of wrapping around.
    std::int64_t nRawWidth = nWidth;
    std::int64_t nRawHeight = nHeight;
    if (nSizeMode == kSizeModeAutomatic) {
        nRawWidth = (std::int64_t{nFirstWidth} + nSecondWidth) / 2;
        nRawHeight = (std::int64_t{nFirstHeight} + nSecondHeight) / 2;
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
