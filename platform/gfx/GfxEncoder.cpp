#include "platform/gfx/GfxEncoder.h"

#include <cstring>

// Qt
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

std::vector<unsigned char> EncodeBgrRows(const unsigned char* pRows, std::int32_t nWidth, std::int32_t nHeight,
                                         GfxOutputFormat nFormat)
{
    if (nWidth <= 0 || nHeight <= 0)
        return {};
    // Format_BGR888 takes the bytes as they are; only the row order turns.
    const std::size_t nStride = static_cast<std::size_t>(nWidth) * 3;
    QImage image(nWidth, nHeight, QImage::Format_BGR888);
    if (image.isNull())
        return {};
    for (std::int32_t y = 0; y < nHeight; ++y)
        std::memcpy(image.scanLine(y), pRows + static_cast<std::size_t>(nHeight - 1 - y) * nStride, nStride);

    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, "png");
    switch (nFormat) {
    case GfxOutputFormat::Png:
        break;
    case GfxOutputFormat::Jpeg:
        writer.setFormat("jpeg");
        writer.setQuality(95);
        break;
    case GfxOutputFormat::WebP:
        // Qt's WebP writer is lossless at quality 100.
        writer.setFormat("webp");
        writer.setQuality(100);
        break;
    case GfxOutputFormat::Tiff:
        writer.setFormat("tiff");
        break;
    }
    if (!writer.write(image))
        return {};
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}
