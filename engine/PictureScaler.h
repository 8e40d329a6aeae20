#pragma once

// Stretches source pictures onto the whole canvas.

#include <string>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PixelBuffer.h"
#include "platform/gfx/GfxBitmap.h"

// Fills firstBuffer with the first picture and secondBuffer with the second,
// each stretched to the canvas (aspect not kept) with averaging quality, as
// bottom-up BGR rows. A picture already of canvas size arrives byte for byte.
// Both buffers must hold the canvas's image size. Gives ScaleFailed, or
// InvalidCanvas for buffers of the wrong size.
EngineResult<void> ScaleToCanvas(const GfxBitmap& first, const GfxBitmap& second, const Canvas& canvas,
                                 PixelBuffer& firstBuffer, PixelBuffer& secondBuffer);

// Fills buffer with one picture stretched to the canvas, as above. strName
// names the picture in the error ("the first picture").
EngineResult<void> ScalePictureToCanvas(const GfxBitmap& picture, const Canvas& canvas, PixelBuffer& buffer,
                                        const std::string& strName);
