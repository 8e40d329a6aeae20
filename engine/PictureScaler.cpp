#include "engine/PictureScaler.h"

// Local
#include "platform/gfx/GfxStretch.h"

EngineResult<void> ScaleToCanvas(const GfxBitmap& first, const GfxBitmap& second, const Canvas& canvas,
                                 PixelBuffer& firstBuffer, PixelBuffer& secondBuffer)
{
    const std::size_t nImageSize = canvas.ImageSize();
    if (firstBuffer.Size() != nImageSize || secondBuffer.Size() != nImageSize)
        return EngineError{EngineErrorCode::InvalidCanvas, "the picture buffers do not match the canvas"};

    const GfxBitmap* pictures[] = {&first, &second};
    PixelBuffer* buffers[] = {&firstBuffer, &secondBuffer};
    for (int i = 0; i < 2; ++i) {
        if (!StretchToBgrRows(*pictures[i], canvas.Width(), canvas.Height(), buffers[i]->Data(),
                              buffers[i]->Size()))
            return EngineError{EngineErrorCode::ScaleFailed,
                               std::string("cannot scale the ") + (i == 0 ? "first" : "second") +
                                   " picture to " + std::to_string(canvas.Width()) + " x " +
                                   std::to_string(canvas.Height()) + " pixels"};
    }
    return {};
}
