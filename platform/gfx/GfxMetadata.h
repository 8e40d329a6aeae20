#pragma once

// What Qt's readers leave unread in PNG and WebP files: the EXIF
// orientation, and whether a PNG's colours come with an ICC profile. Also
// the turning of a picture upright from its orientation.

#include <cstddef>

// Qt
#include <QImage>

class GfxMetadata {
public:
    // The orientation, 1 to 8, that the EXIF block of a PNG (its eXIf chunk)
    // or a WebP file (its EXIF chunk) gives; 1 when there is none or it
    // cannot be read.
    static int OrientationOfPng(const unsigned char* pData, std::size_t nSize) noexcept;
    static int OrientationOfWebP(const unsigned char* pData, std::size_t nSize) noexcept;

    // The orientation tag of an EXIF block (a TIFF header and its first
    // directory, optionally after "Exif\0\0"); 1 when absent or invalid.
    static int OrientationOfExif(const unsigned char* pData, std::size_t nSize) noexcept;

    // Whether a PNG file has an embedded ICC profile (an iCCP chunk).
    static bool PngHasIccProfile(const unsigned char* pData, std::size_t nSize) noexcept;

    // The picture as it is meant to be seen under the given orientation.
    static QImage Upright(const QImage& image, int nOrientation);
};
