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
    const char* pszFormat = ReaderFormat(SniffPictureFormat(pData, nSize));
    if (pszFormat == nullptr || nSize > static_cast<std::size_t>(INT_MAX)) {
        result.m_nStatus = GfxDecodeStatus::Unsupported;
        return result;
    }

    // The reader works on the caller's bytes in place; nothing is copied.
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(pData), static_cast<qsizetype>(nSize));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, pszFormat);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);

    // The size in the header is checked before any pixel memory exists. The
    // reader's own allocation limit backs this up for readers that cannot
    // tell their size in advance; it counts 4 bytes per pixel in megabytes.
    const QSize claimed = reader.size();
    if (claimed.isValid() && ExceedsLimit(claimed, options.m_nMaxPixels)) {
        result.m_nStatus = GfxDecodeStatus::TooLarge;
        result.m_strDetail = std::to_string(claimed.width()) + " x " + std::to_string(claimed.height()) + " pixels";
        return result;
    }
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
