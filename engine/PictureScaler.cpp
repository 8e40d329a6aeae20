#include "engine/PictureScaler.h"

#include <cstring>
#include <vector>

// Local
#include "platform/gfx/GfxStretch.h"

namespace {

// Paints every canvas pixel outside the target rectangle in the colour
// 0xRRGGBB: the bars beside a contained picture.
void PaintBars(const Canvas& canvas, const GfxStretchArea& area, std::uint32_t nColour, PixelBuffer& buffer)
{
    const std::size_t nStride = static_cast<std::size_t>(canvas.Stride());
    const std::int32_t nWidth = canvas.Width(), nHeight = canvas.Height();
    if (area.m_nTargetX == 0 && area.m_nTargetY == 0 && area.m_nTargetWidth == nWidth &&
        area.m_nTargetHeight == nHeight)
        return;
    // One row of the colour, copied wherever a bar lies.
    std::vector<BYTE> row(nStride);
    for (std::size_t i = 0; i < row.size(); i += 3) {
        row[i] = static_cast<BYTE>(nColour);
        row[i + 1] = static_cast<BYTE>(nColour >> 8);
        row[i + 2] = static_cast<BYTE>(nColour >> 16);
    }
    const std::int32_t nRight = area.m_nTargetX + area.m_nTargetWidth;
    for (std::int32_t y = 0; y < nHeight; ++y) {
        BYTE* pRow = buffer.Data() + static_cast<std::size_t>(nHeight - 1 - y) * nStride;
        if (y < area.m_nTargetY || y >= area.m_nTargetY + area.m_nTargetHeight) {
            std::memcpy(pRow, row.data(), nStride);
            continue;
        }
        std::memcpy(pRow, row.data(), std::size_t{3} * area.m_nTargetX);
        std::memcpy(pRow + std::size_t{3} * nRight, row.data(), std::size_t{3} * (nWidth - nRight));
    }
}

} // namespace

EngineResult<void> ScalePictureToCanvas(const GfxBitmap& picture, const Canvas& canvas, PixelBuffer& buffer,
                                        const std::string& strName, const FitOptions& fit)
{
    if (buffer.Size() != canvas.ImageSize())
        return EngineError{EngineErrorCode::InvalidCanvas, "the picture buffers do not match the canvas"};
    const GfxStretchArea area =
        PlanPicture(picture.Width(), picture.Height(), canvas.Width(), canvas.Height(), fit.m_nFit);
    if (!StretchAreaToBgrRows(picture, area, canvas.Width(), canvas.Height(), buffer.Data(), buffer.Size()))
        return EngineError{EngineErrorCode::ScaleFailed, "cannot scale " + strName + " to " +
                                                             std::to_string(canvas.Width()) + " x " +
                                                             std::to_string(canvas.Height()) + " pixels"};
    PaintBars(canvas, area, fit.m_nBackground, buffer);
    return {};
}

EngineResult<void> ScaleToCanvas(const GfxBitmap& first, const GfxBitmap& second, const Canvas& canvas,
                                 PixelBuffer& firstBuffer, PixelBuffer& secondBuffer, const FitOptions& fit)
{
    // Both buffers are checked before either is written.
    if (firstBuffer.Size() != canvas.ImageSize() || secondBuffer.Size() != canvas.ImageSize())
        return EngineError{EngineErrorCode::InvalidCanvas, "the picture buffers do not match the canvas"};
    if (auto scaled = ScalePictureToCanvas(first, canvas, firstBuffer, "the first picture", fit); !scaled)
        return scaled;
    return ScalePictureToCanvas(second, canvas, secondBuffer, "the second picture", fit);
}
