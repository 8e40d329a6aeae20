#include "platform/gfx/GfxMetadata.h"

#include <cstdint>
#include <cstring>

// Qt
#include <QTransform>

namespace {

std::uint32_t Be32(const unsigned char* p) noexcept
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

std::uint32_t Le32(const unsigned char* p) noexcept
{
    return static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

// The data of the first PNG chunk of that type, or null.
const unsigned char* FindPngChunk(const unsigned char* pData, std::size_t nSize, const char* pszType,
                                  std::size_t& nLength) noexcept
{
    // Chunks after the 8-byte signature: length, type, data, CRC.
    std::size_t nAt = 8;
    while (nAt <= nSize && nSize - nAt >= 12) {
        nLength = Be32(pData + nAt);
        if (nLength > nSize - nAt - 12)
            break;
        const unsigned char* pType = pData + nAt + 4;
        if (std::memcmp(pType, pszType, 4) == 0)
            return pData + nAt + 8;
        if (std::memcmp(pType, "IEND", 4) == 0)
            break;
        nAt += 12 + nLength;
    }
    return nullptr;
}

} // namespace

int GfxMetadata::OrientationOfPng(const unsigned char* pData, std::size_t nSize) noexcept
{
    std::size_t nLength = 0;
    const unsigned char* pExif = FindPngChunk(pData, nSize, "eXIf", nLength);
    return pExif ? OrientationOfExif(pExif, nLength) : 1;
}

bool GfxMetadata::JpegReachesItsEnd(const unsigned char* pData, std::size_t nSize) noexcept
{
    // After the start-of-image marker: marker segments, each with its
    // length, and after each start-of-scan segment the scan's data, which
    // runs to the next marker. In the data 0xFF is followed by 0x00 (a
    // stuffed byte) or a restart marker; 0xFF 0xFF is fill. Bytes before a
    // marker that belong to nothing are skipped, as libjpeg skips them.
    std::size_t nAt = 2;
    while (nAt < nSize) {
        const void* pMark = std::memchr(pData + nAt, 0xFF, nSize - nAt);
        if (!pMark)
            return false;
        nAt = static_cast<std::size_t>(static_cast<const unsigned char*>(pMark) - pData);
        if (nSize - nAt < 2)
            return false;
        const unsigned char nMarker = pData[nAt + 1];
        if (nMarker == 0xD9)
            return true;
        if (nMarker == 0xFF) {
            ++nAt;
        } else if (nMarker == 0x00 || nMarker == 0x01 || (nMarker >= 0xD0 && nMarker <= 0xD8)) {
            nAt += 2;
        } else {
            if (nSize - nAt < 4)
                return false;
            nAt += 2 + (static_cast<std::size_t>(pData[nAt + 2]) << 8 | pData[nAt + 3]);
        }
    }
    return false;
}

int GfxMetadata::OrientationOfExif(const unsigned char* pData, std::size_t nSize) noexcept
{
    if (nSize >= 6 && std::memcmp(pData, "Exif\0\0", 6) == 0) {
        pData += 6;
        nSize -= 6;
    }
    if (nSize < 8)
        return 1;
    bool bBig = false;
    if (std::memcmp(pData, "MM\0*", 4) == 0)
        bBig = true;
    else if (std::memcmp(pData, "II*\0", 4) != 0)
        return 1;
    auto u16 = [&](std::size_t n) { return bBig ? pData[n] << 8 | pData[n + 1] : pData[n + 1] << 8 | pData[n]; };
    auto u32 = [&](std::size_t n) { return bBig ? Be32(pData + n) : Le32(pData + n); };

    const std::size_t nDirectory = u32(4);
    if (nDirectory > nSize || nSize - nDirectory < 2)
        return 1;
    const std::size_t nEntries = static_cast<std::size_t>(u16(nDirectory));
    for (std::size_t i = 0; i < nEntries; ++i) {
        const std::size_t nEntry = nDirectory + 2 + 12 * i;
        if (nEntry + 12 > nSize)
            break;
        // Tag 0x0112, one SHORT held in the entry itself.
        if (u16(nEntry) == 0x0112 && u16(nEntry + 2) == 3 && u32(nEntry + 4) == 1) {
            const int nValue = u16(nEntry + 8);
            return nValue >= 1 && nValue <= 8 ? nValue : 1;
        }
    }
    return 1;
}

int GfxMetadata::OrientationOfWebP(const unsigned char* pData, std::size_t nSize) noexcept
{
    // RIFF header, then chunks: type, little-endian length, data padded to even.
    std::size_t nAt = 12;
    while (nAt <= nSize && nSize - nAt >= 8) {
        const std::size_t nLength = Le32(pData + nAt + 4);
        if (nLength > nSize - nAt - 8)
            break;
        if (std::memcmp(pData + nAt, "EXIF", 4) == 0)
            return OrientationOfExif(pData + nAt + 8, nLength);
        nAt += 8 + nLength + (nLength & 1);
    }
    return 1;
}

QImage GfxMetadata::Upright(const QImage& image, int nOrientation)
{
    // Mirror first, then turn a quarter clockwise where the value asks for it.
    const bool bMirror = nOrientation == 2 || nOrientation == 3 || nOrientation == 7;
    const bool bFlip = nOrientation == 3 || nOrientation == 4 || nOrientation == 5;
    const bool bQuarter = nOrientation >= 5 && nOrientation <= 7;
    QImage upright = bMirror || bFlip ? image.mirrored(bMirror, bFlip) : image;
    if (nOrientation == 8)
        upright = upright.transformed(QTransform().rotate(270));
    else if (bQuarter)
        upright = upright.transformed(QTransform().rotate(90));
    return upright;
}
