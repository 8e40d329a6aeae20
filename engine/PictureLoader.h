#pragma once

// Turns a picture file into a source bitmap that the render owns.

#include <cstdint>
#include <string>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "platform/gfx/GfxBitmap.h"

// The largest decoded picture accepted, in pixels (a 100-megapixel photo fits).
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 27;
// The largest picture file read, in bytes.
inline constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{1} << 30;

// Reads the whole file with one read into a block of its exact size and
// decodes it. The format comes from the content, never from the name: GIF
// (first image), JPEG, BMP, PNG, WebP (first frame), TIFF (first page), HEIF
// and AVIF (primary image) decode, upright and in sRGB; anything else, an
// empty, unreadable or damaged file, or a picture larger than
// kMaxPicturePixels gives an error.
EngineResult<GfxBitmap> LoadPictureFile(const std::string& strPath);

// The size of the picture LoadPictureFile would give, read as it reads the
// file but with no pixel decoded, and with the same errors for a file that
// cannot be read, is not a picture it decodes or is too large. A file that
// passes here may still turn out damaged when it is decoded.
EngineResult<PictureSize> MeasurePictureFile(const std::string& strPath);
