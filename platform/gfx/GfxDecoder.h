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

// Local
#include "platform/gfx/GfxBitmap.h"

enum class GfxPictureFormat { Unknown, Gif, Jpeg, Bmp, Png, WebP, Tiff, Heif };

// Tells the format from the first bytes of a file.
GfxPictureFormat SniffPictureFormat(const unsigned char* pData, std::size_t nSize) noexcept;

struct GfxDecodeOptions {
    // The largest picture, in pixels, that may be decoded. Larger pictures are
    // refused from their header, before any pixel memory is allocated.
    std::int64_t m_nMaxPixels = 0;
};

// Undecodable: the format is known but this file is damaged or cut short.
enum class GfxDecodeStatus { Ok, Unsupported, TooLarge, Undecodable, OutOfMemory };

struct GfxDecodeResult {
    GfxDecodeStatus m_nStatus = GfxDecodeStatus::Undecodable;
    GfxBitmap m_bitmap;   // Set when m_nStatus is Ok.
    std::string m_strDetail;  // The decoder's own words, when it gave any.
};

// Decodes nSize bytes at pData. Transparent pixels are composed over white.
GfxDecodeResult DecodePicture(const unsigned char* pData, std::size_t nSize, const GfxDecodeOptions& options);

struct GfxMeasureResult {
    GfxDecodeStatus m_nStatus = GfxDecodeStatus::Undecodable;
    std::int32_t m_nWidth = 0;   // Set when m_nStatus is Ok.
    std::int32_t m_nHeight = 0;
    std::string m_strDetail;
};

// The size of the picture that DecodePicture would make from the same bytes,
// read from the picture's header: no pixel is decoded.
GfxMeasureResult MeasurePicture(const unsigned char* pData, std::size_t nSize, const GfxDecodeOptions& options);
