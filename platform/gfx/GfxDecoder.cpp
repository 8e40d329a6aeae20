#include "platform/gfx/GfxDecoder.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

// Qt
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

namespace {

const char* ReaderFormat(GfxPictureFormat nFormat) noexcept
{
    switch (nFormat) {
    case GfxPictureFormat::Gif:
        return "gif";
    case GfxPictureFormat::Jpeg:
        return "jpeg";
    case GfxPictureFormat::Bmp:
        return "bmp";
    case GfxPictureFormat::Unknown:
        break;
    }
    return nullptr;
}

// Composes the picture over white and drops its transparency. With
// premultiplied pixels that is one addition per channel: c + (255 − alpha).
QImage ComposeOverWhite(const QImage& image)
{
    QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (premultiplied.isNull())
        return {};
    for (int y = 0; y < premultiplied.height(); ++y) {
        QRgb* pLine = reinterpret_cast<QRgb*>(premultiplied.scanLine(y));
        for (int x = 0; x < premultiplied.width(); ++x) {
            const QRgb pixel = pLine[x];
            const int nCover = 255 - qAlpha(pixel);
            pLine[x] = qRgb(qRed(pixel) + nCover, qGreen(pixel) + nCover, qBlue(pixel) + nCover);
        }
    }
    // Every alpha is now 255, so reinterpreting as RGB32 changes no pixel.
    premultiplied.reinterpretAsFormat(QImage::Format_RGB32);
    return premultiplied;
}

std::int64_t Le16(const unsigned char* p) noexcept
{
    return p[0] | p[1] << 8;
}

std::int64_t Le32Signed(const unsigned char* p) noexcept
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

// The pixel count that the file's own header announces, where it can be read
// without a decoder. The GIF reader paints every frame onto a canvas of the
// logical screen size, whatever the size of the first image, so that is the
// size that counts.
std::int64_t HeaderPixels(GfxPictureFormat nFormat, const unsigned char* pData, std::size_t nSize) noexcept
{
    if (nFormat == GfxPictureFormat::Gif && nSize >= 10)
        return Le16(pData + 6) * Le16(pData + 8);
    if (nFormat == GfxPictureFormat::Bmp && nSize >= 26) {
        if (Le32Signed(pData + 14) == 12)
            return Le16(pData + 18) * Le16(pData + 20);
        const std::int64_t nWidth = Le32Signed(pData + 18);
        const std::int64_t nHeight = Le32Signed(pData + 22);
        return (nWidth < 0 ? -nWidth : nWidth) * (nHeight < 0 ? -nHeight : nHeight);
    }
    return 0;
}

bool ExceedsLimit(const QSize& size, std::int64_t nMaxPixels) noexcept
{
    return std::int64_t{size.width()} * size.height() > nMaxPixels;
}

} // namespace

GfxPictureFormat SniffPictureFormat(const unsigned char* pData, std::size_t nSize) noexcept
{
    if (nSize >= 6 && (std::memcmp(pData, "GIF87a", 6) == 0 || std::memcmp(pData, "GIF89a", 6) == 0))
        return GfxPictureFormat::Gif;
    if (nSize >= 3 && pData[0] == 0xFF && pData[1] == 0xD8 && pData[2] == 0xFF)
        return GfxPictureFormat::Jpeg;
    if (nSize >= 2 && pData[0] == 'B' && pData[1] == 'M')
        return GfxPictureFormat::Bmp;
    return GfxPictureFormat::Unknown;
}

GfxDecodeResult DecodePicture(const unsigned char* pData, std::size_t nSize, const GfxDecodeOptions& options)
{
    GfxDecodeResult result;
    const GfxPictureFormat nFormat = SniffPictureFormat(pData, nSize);
    const char* pszFormat = ReaderFormat(nFormat);
    if (pszFormat == nullptr || nSize > static_cast<std::size_t>(INT_MAX)) {
        result.m_nStatus = GfxDecodeStatus::Unsupported;
        return result;
    }

    // Sizes are checked before any pixel memory exists: first the header's
    // own claim, then what the reader reports. The reader's allocation limit
    // backs this up for pictures whose size only shows while decoding.
    const std::int64_t nHeaderPixels = HeaderPixels(nFormat, pData, nSize);
    if (nHeaderPixels > options.m_nMaxPixels) {
        result.m_nStatus = GfxDecodeStatus::TooLarge;
        result.m_strDetail = std::to_string(nHeaderPixels) + " pixels";
        return result;
    }

    // The reader works on the caller's bytes in place; nothing is copied.
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(pData), static_cast<qsizetype>(nSize));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, pszFormat);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);

    const QSize claimed = reader.size();
    if (claimed.isValid() && ExceedsLimit(claimed, options.m_nMaxPixels)) {
        result.m_nStatus = GfxDecodeStatus::TooLarge;
        result.m_strDetail = std::to_string(claimed.width()) + " x " + std::to_string(claimed.height()) + " pixels";
        return result;
    }
    // The reader's allocation limit is in megabytes; count 4 bytes a pixel.
    const std::int64_t nLimitMegabytes = (options.m_nMaxPixels * 4 + (1 << 20) - 1) >> 20;
    reader.setAllocationLimit(static_cast<int>(std::min<std::int64_t>(nLimitMegabytes + 1, INT_MAX)));

    QImage image = reader.read();
    if (image.isNull()) {
        result.m_nStatus = GfxDecodeStatus::Undecodable;
        result.m_strDetail = reader.errorString().toStdString();
        return result;
    }
    if (ExceedsLimit(image.size(), options.m_nMaxPixels)) {
        result.m_nStatus = GfxDecodeStatus::TooLarge;
        result.m_strDetail = std::to_string(image.width()) + " x " + std::to_string(image.height()) + " pixels";
        return result;
    }

    if (image.hasAlphaChannel())
        image = ComposeOverWhite(image);
    else if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        result.m_nStatus = GfxDecodeStatus::OutOfMemory;
        return result;
    }

    result.m_nStatus = GfxDecodeStatus::Ok;
    result.m_bitmap = GfxBitmap(std::move(image));
    return result;
}

GfxMeasureResult MeasurePicture(const unsigned char* pData, std::size_t nSize, const GfxDecodeOptions& options)
{
    GfxMeasureResult result;
    const char* pszFormat = ReaderFormat(SniffPictureFormat(pData, nSize));
    if (pszFormat == nullptr || nSize > static_cast<std::size_t>(INT_MAX)) {
        result.m_nStatus = GfxDecodeStatus::Unsupported;
        return result;
    }
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(pData), static_cast<qsizetype>(nSize));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, pszFormat);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    QSize size = reader.size();
    // A top-down BMP reports its height as its header stores it, negative.
    if (size.height() < 0 && size.height() != INT_MIN)
        size.setHeight(-size.height());
    if (!size.isValid()) {
        // The reader gives no reason of its own for a header it cannot read.
        result.m_strDetail = "its header cannot be read";
        return result;
    }
    if (ExceedsLimit(size, options.m_nMaxPixels)) {
        result.m_nStatus = GfxDecodeStatus::TooLarge;
        result.m_strDetail = std::to_string(size.width()) + " x " + std::to_string(size.height()) + " pixels";
        return result;
    }
    result.m_nStatus = GfxDecodeStatus::Ok;
    result.m_nWidth = size.width();
    result.m_nHeight = size.height();
    return result;
}
