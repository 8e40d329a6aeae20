#pragma once

// Decodes a picture file's bytes into a GfxBitmap. GIF (its first image),
// JPEG, BMP, PNG, WebP (the first frame), TIFF (the first page) and HEIF or
// AVIF (the primary image) are accepted, recognised by their content; icons,
// cursors, metafiles and every other format give nothing. The picture is
// turned upright by its own orientation and converted to sRGB from its own
// colour profile.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Qt
#include <QSize>

// Local
#include "engine/EngineResult.h"
#include "platform/gfx/GfxBitmap.h"

enum class GfxPictureFormat { Unknown, Gif, Jpeg, Bmp, Png, WebP, Tiff, Heif };

// Tells the format from the first bytes of a file.
GfxPictureFormat SniffPictureFormat(const unsigned char* pData, std::size_t nSize) noexcept;

struct GfxDecodeOptions {
    // The largest picture, in pixels, that may be decoded. Larger pictures are
    // refused from their header, before any pixel memory is allocated.
    std::int64_t m_nMaxPixels = 0;
};

// Decodes nSize bytes at pData. Transparent pixels are composed over white.
// Fails with PictureUnsupported (no format read here), PictureTooLarge,
// PictureDamaged (a known format, but damaged or cut short) or OutOfMemory,
// with the decoder's own words where it gave any.
EngineResult<GfxBitmap> DecodePicture(const unsigned char* pData, std::size_t nSize, const GfxDecodeOptions& options);

// The size of the picture that DecodePicture would make from the same bytes,
// read from the picture's header: no pixel is decoded.
EngineResult<QSize> MeasurePicture(const unsigned char* pData, std::size_t nSize, const GfxDecodeOptions& options);
