#pragma once

// Stretches a bitmap, or a part of it, onto a W × H area with averaging
// quality (area averaging when reducing, smooth interpolation when
// enlarging) and delivers it as 24-bit rows, blue, green, red, bottom row
// first.

#include <cstddef>
#include <cstdint>

// Local
#include "platform/gfx/GfxBitmap.h"

// Which part of a bitmap is scaled to what size, and where the part of the
// result that is shown lands on the canvas.
struct GfxStretchArea {
    // The part of the bitmap that is scaled, in its own pixels.
    std::int32_t m_nSourceX = 0, m_nSourceY = 0, m_nSourceWidth = 0, m_nSourceHeight = 0;
    // The size it is scaled to, and the columns and rows of the result that
    // are left out before the part shown.
    std::int32_t m_nScaledWidth = 0, m_nScaledHeight = 0, m_nSkipX = 0, m_nSkipY = 0;
    // Where the part shown lands on the canvas; it has this rectangle's size.
    std::int32_t m_nTargetX = 0, m_nTargetY = 0, m_nTargetWidth = 0, m_nTargetHeight = 0;
};

// Writes the area onto a canvas of nWidth × nHeight held as rows of
// nWidth × 3 bytes at pOut (nOutSize bytes); canvas pixels outside the
// target are left as they were. A part that already has its scaled size is
// copied unchanged. Gives false, with pOut untouched, when the area does not
// fit the bitmap, the scaled part or the canvas, or the stretch cannot be
// made (for example when memory for the intermediate image runs out).
bool StretchAreaToBgrRows(const GfxBitmap& bitmap, const GfxStretchArea& area, std::int32_t nWidth,
                          std::int32_t nHeight, unsigned char* pOut, std::size_t nOutSize);

// The whole bitmap onto the whole canvas, as above.
bool StretchToBgrRows(const GfxBitmap& bitmap, std::int32_t nWidth, std::int32_t nHeight, unsigned char* pOut,
                      std::size_t nOutSize);

// A copy no larger than nMaxSide on either side, with the aspect kept and
// averaging quality; a bitmap that small already is shared as it is. Gives
// a null bitmap when the copy cannot be made.
GfxBitmap ReduceBitmap(const GfxBitmap& bitmap, std::int32_t nMaxSide);
