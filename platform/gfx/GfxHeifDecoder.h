#pragma once

// Decodes the primary image of a HEIF file (HEIC photos from phones, AVIF)
// with libheif. The file's own rotation and mirroring are applied, so the
// image comes out upright; its colour profile, when it has a usable one,
// travels with the image as its QColorSpace.

#include <cstddef>
#include <cstdint>

// Qt
#include <QImage>

// Local
#include "platform/gfx/GfxDecoder.h"

class GfxHeifDecoder {
public:
    // Decodes nSize bytes at pData into an image (RGB888, or RGBA8888 when
    // the picture has alpha). A picture over nMaxPixels is refused from its
    // header, before any pixel memory is allocated. Failures carry
    // libheif's own words.
    static EngineResult<QImage> Decode(const unsigned char* pData, std::size_t nSize, std::int64_t nMaxPixels);

    // The upright size of the primary image, read without decoding it, with
    // the same refusals as Decode.
    static EngineResult<QSize> Measure(const unsigned char* pData, std::size_t nSize, std::int64_t nMaxPixels);

    // Whether the bytes start like a HEIF or AVIF file: an 'ftyp' box that
    // names one of the still-image brands.
    static bool Sniff(const unsigned char* pData, std::size_t nSize) noexcept;
};
