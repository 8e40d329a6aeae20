#include "engine/PictureScaler.h"

// Local
#include "platform/gfx/GfxStretch.h"

EngineResult<void> ScalePictureToCanvas(const GfxBitmap& picture, const Canvas& canvas, PixelBuffer& buffer,
                                        const std::string& strName)
{
    if (buffer.Size() != canvas.ImageSize())
        return EngineError{EngineErrorCode::InvalidCanvas, "the picture buffers do not match the canvas"};
    if (!StretchToBgrRows(picture, canvas.Width(), canvas.Height(), buffer.Data(), buffer.Size()))
        return EngineError{EngineErrorCode::ScaleFailed, "cannot scale " + strName + " to " +
                                                             std::to_string(canvas.Width()) + " x " +
                                                             std::to_string(canvas.Height()) + " pixels"};
    return {};
}

EngineResult<void> ScaleToCanvas(const GfxBitmap& first, const GfxBitmap& second, const Canvas& canvas,
                                 PixelBuffer& firstBuffer, PixelBuffer& secondBuffer)
{
    // Both buffers are checked before either is written.
    if (firstBuffer.Size() != canvas.ImageSize() || secondBuffer.Size() != canvas.ImageSize())
        return EngineError{EngineErrorCode::InvalidCanvas, "the picture buffers do not match the canvas"};
    if (auto scaled = ScalePictureToCanvas(first, canvas, firstBuffer, "the first picture"); !scaled)
        return scaled;
    return ScalePictureToCanvas(second, canvas, secondBuffer, "the second picture");
}
