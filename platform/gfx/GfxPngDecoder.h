#pragma once

// Decodes PNG files with libpng itself rather than through Qt's reader: its
// errors then come back as text instead of going to the standard error
// stream, and a 16-bit picture's transparent colour (tRNS) becomes
// transparency as it does at every other depth. Every bit depth, palette,
// grey and alpha layout and interlacing are read; an embedded ICC profile
// travels with the image as its QColorSpace, and nothing else counts as
// one (many tools tag plain sRGB pictures with gamma chunks).

#include <cstddef>
#include <cstdint>

// Qt
#include <QImage>

// Local
#include "platform/gfx/GfxDecoder.h"

class GfxPngDecoder {
public:
    // Decodes nSize bytes at pData into image: RGBA8888 or RGBX8888, or
    // RGBA64 or RGBX64 for 16-bit pictures, as stored (not turned by an
    // EXIF orientation). A picture over nMaxPixels is refused from its
    // header, before any pixel memory exists. Failures carry libpng's words.
    static EngineResult<QImage> Decode(const unsigned char* pData, std::size_t nSize, std::int64_t nMaxPixels);

    // The stored size from the header, with the same refusals.
    static EngineResult<QSize> Measure(const unsigned char* pData, std::size_t nSize, std::int64_t nMaxPixels);
};
