#pragma once

// Stretches a whole bitmap onto a W × H area with averaging quality (area
// averaging when reducing, smooth interpolation when enlarging) and delivers
// it as 24-bit rows, blue, green, red, bottom row first.

#include <cstddef>
#include <cstdint>

// Local
#include "platform/gfx/GfxBitmap.h"

// Writes nHeight rows of nWidth × 3 bytes to pOut (nOutSize bytes). A bitmap
// that already has the target size is copied unchanged. Gives false, with
// pOut untouched, when the stretch cannot be made (for example when memory
// for the intermediate image runs out) or the output is too small.
bool StretchToBgrRows(const GfxBitmap& bitmap, std::int32_t nWidth, std::int32_t nHeight, unsigned char* pOut,
                      std::size_t nOutSize);

// A copy no larger than nMaxSide on either side, with the aspect kept and
// averaging quality; a bitmap that small already is shared as it is. Gives
// a null bitmap when the copy cannot be made.
GfxBitmap ReduceBitmap(const GfxBitmap& bitmap, std::int32_t nMaxSide);
