#pragma once

// What Qt's readers leave unread: the EXIF orientation of PNG and WebP
// files, and whether a JPEG file is whole. Also the turning of a picture
// upright from its orientation.

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

    // Whether a JPEG file goes on to its end-of-image marker, walking its
    // marker segments and the data of its scans as libjpeg does. A file cut
    // short anywhere, even after the data of its last scan, does not.
    static bool JpegReachesItsEnd(const unsigned char* pData, std::size_t nSize) noexcept;

    // The picture as it is meant to be seen under the given orientation.
    static QImage Upright(const QImage& image, int nOrientation);
};
