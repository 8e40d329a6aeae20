#pragma once

// How a picture meets the canvas: stretched over all of it, contained whole
// at its own aspect with bars beside it, or covering all of it at its own
// aspect with what overflows cut away evenly on both sides. The arithmetic of
// the picture's box lives here alone, so every render places a picture alike.

#include <cstdint>

// Local
#include "platform/gfx/GfxStretch.h"

enum class PictureFit {
    Stretch, // The whole picture over the whole canvas; its aspect is not kept.
    Contain, // The whole picture at its own aspect, centred, with bars.
    Cover,   // The whole canvas, the picture at its own aspect, cropped centrally.
};

struct FitOptions {
    PictureFit m_nFit = PictureFit::Stretch;
    // The colour of the bars, 0xRRGGBB.
    std::uint32_t m_nBackground = 0x000000;
};

// A rectangle of whole pixels from its top-left corner. 64-bit, since the
// box of a long panorama covering a canvas reaches far beyond it.
struct FitRect {
    std::int64_t m_nX = 0;
    std::int64_t m_nY = 0;
    std::int64_t m_nWidth = 0;
    std::int64_t m_nHeight = 0;
};

// Where the whole picture, scaled, lies on the canvas, in canvas pixels.
// Stretch: the canvas itself. Contain: the largest box of the picture's
// aspect inside the canvas; Cover: the smallest one around it. One side is
// the canvas's; the other is the exact side rounded to the nearest pixel
// (halves up) and at least 1. The box is centred; an odd pixel left over
// goes to the right or bottom bar, an odd pixel of overflow is cut on the
// left or top. Sides of 0 or below give the canvas.
FitRect PictureBox(std::int32_t nPictureWidth, std::int32_t nPictureHeight, std::int32_t nCanvasWidth,
                   std::int32_t nCanvasHeight, PictureFit nFit);

// The work of placing one picture on the canvas: which part of it is scaled
// to what size, and which part of the result lands where. The part is the
// whole picture when its box lies on the canvas; for a cover it is the
// smallest rectangle of whole picture pixels behind the canvas, scaled at
// the box's scale, or, where fewer than two lie behind it, the nearest whole
// pixels scaled to the canvas. Either way no scaled side passes twice the
// canvas's, whatever the picture.
GfxStretchArea PlanPicture(std::int32_t nPictureWidth, std::int32_t nPictureHeight, std::int32_t nCanvasWidth,
                           std::int32_t nCanvasHeight, PictureFit nFit);
