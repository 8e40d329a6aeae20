#pragma once

// The EXIF orientation of PNG and WebP files, which Qt's readers leave
// unapplied, and the turning of a picture upright from it.

#include <cstddef>

// Qt
#include <QImage>

class GfxOrientation {
public:
    // The orientation, 1 to 8, that the EXIF block of a PNG (its eXIf chunk)
    // or a WebP file (its EXIF chunk) gives; 1 when there is none or it
    // cannot be read.
    static int OfPng(const unsigned char* pData, std::size_t nSize) noexcept;
    static int OfWebP(const unsigned char* pData, std::size_t nSize) noexcept;

    // The orientation tag of an EXIF block (a TIFF header and its first
    // directory, optionally after "Exif\0\0"); 1 when absent or invalid.
    static int OfExif(const unsigned char* pData, std::size_t nSize) noexcept;

    // The picture as it is meant to be seen under the given orientation.
    static QImage Upright(const QImage& image, int nOrientation);
};
