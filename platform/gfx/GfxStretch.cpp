#include "platform/gfx/GfxStretch.h"

// Qt
#include <QImage>

bool StretchToBgrRows(const GfxBitmap& bitmap, std::int32_t nWidth, std::int32_t nHeight, unsigned char* pOut,
                      std::size_t nOutSize)
{
    if (nWidth <= 0 || nHeight <= 0)
        return true;
    const std::size_t nStride = static_cast<std::size_t>(nWidth) * 3;
    if (nOutSize / nStride < static_cast<std::size_t>(nHeight) || bitmap.IsNull())
        return false;

    const QImage& source = bitmap.Image();
    // Smooth scaling averages the covered area when reducing and interpolates
    // when enlarging; a picture of the right size is taken as it is.
    QImage scaled = source.size() == QSize(nWidth, nHeight)
                        ? source
                        : source.scaled(nWidth, nHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull() || scaled.width() != nWidth || scaled.height() != nHeight)
        return false;
    if (scaled.format() != QImage::Format_RGB32 && scaled.format() != QImage::Format_ARGB32) {
        scaled = scaled.convertToFormat(QImage::Format_RGB32);
        if (scaled.isNull())
            return false;
    }

    // Memory row m holds picture row H − 1 − m; each pixel is blue, green, red.
    for (std::int32_t m = 0; m < nHeight; ++m) {
        const QRgb* pLine = reinterpret_cast<const QRgb*>(scaled.constScanLine(nHeight - 1 - m));
        unsigned char* pRow = pOut + static_cast<std::size_t>(m) * nStride;
        for (std::int32_t x = 0; x < nWidth; ++x) {
            const QRgb pixel = pLine[x];
            pRow[3 * x] = static_cast<unsigned char>(qBlue(pixel));
            pRow[3 * x + 1] = static_cast<unsigned char>(qGreen(pixel));
            pRow[3 * x + 2] = static_cast<unsigned char>(qRed(pixel));
        }
    }
    return true;
}
