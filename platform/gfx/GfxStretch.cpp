#include "platform/gfx/GfxStretch.h"

#include <algorithm>
#include <utility>

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

GfxBitmap ReduceBitmap(const GfxBitmap& bitmap, std::int32_t nMaxSide)
{
    if (bitmap.IsNull() || nMaxSide <= 0)
        return GfxBitmap();
    if (bitmap.Width() <= nMaxSide && bitmap.Height() <= nMaxSide)
        return bitmap;
    // Each side keeps at least one pixel, so a thin strip stays a picture.
    const std::int64_t nLonger = std::max(bitmap.Width(), bitmap.Height());
    const auto side = [&](std::int32_t n) {
        return static_cast<int>(std::max<std::int64_t>(1, std::int64_t{n} * nMaxSide / nLonger));
    };
    QImage reduced = bitmap.Image().scaled(side(bitmap.Width()), side(bitmap.Height()), Qt::IgnoreAspectRatio,
                                           Qt::SmoothTransformation);
    return reduced.isNull() ? GfxBitmap() : GfxBitmap(std::move(reduced));
}
