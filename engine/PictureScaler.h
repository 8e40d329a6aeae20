#pragma once

// Scales source pictures onto the canvas: stretched over all of it, or at
// their own aspect with bars or cropped (engine/PictureFit.h).

#include <string>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PictureFit.h"
#include "engine/PixelBuffer.h"
#include "platform/gfx/GfxBitmap.h"

// Fills firstBuffer with the first picture and secondBuffer with the second,
// each placed on the canvas as the fit says with averaging quality, as
// bottom-up BGR rows; the rest of the canvas gets the fit's background. By
// default each picture is stretched to the canvas (aspect not kept), and a
// picture already of canvas size arrives byte for byte. Both buffers must
// hold the canvas's image size. Gives ScaleFailed, or InvalidCanvas for
// buffers of the wrong size.
EngineResult<void> ScaleToCanvas(const GfxBitmap& first, const GfxBitmap& second, const Canvas& canvas,
                                 PixelBuffer& firstBuffer, PixelBuffer& secondBuffer, const FitOptions& fit = {});

// Fills buffer with one picture placed on the canvas, as above. strName
// names the picture in the error ("the first picture").
EngineResult<void> ScalePictureToCanvas(const GfxBitmap& picture, const Canvas& canvas, PixelBuffer& buffer,
                                        const std::string& strName, const FitOptions& fit = {});
