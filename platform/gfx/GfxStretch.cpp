#include "platform/gfx/GfxStretch.h"

#include <algorithm>
#include <utility>

// Qt
#include <QImage>

namespace {

bool Within(std::int64_t nAt, std::int64_t nLength, std::int64_t nLimit) noexcept
{
    return nAt >= 0 && nLength >= 0 && nAt + nLength <= nLimit;
}

} // namespace

bool StretchAreaToBgrRows(const GfxBitmap& bitmap, const GfxStretchArea& a, std::int32_t nWidth,
                          std::int32_t nHeight, unsigned char* pOut, std::size_t nOutSize)
{
    if (nWidth <= 0 || nHeight <= 0 || a.m_nTargetWidth == 0 || a.m_nTargetHeight == 0)
        return true;
    const std::size_t nStride = static_cast<std::size_t>(nWidth) * 3;
    if (nOutSize / nStride < static_cast<std::size_t>(nHeight) || bitmap.IsNull() ||
        !Within(a.m_nSourceX, a.m_nSourceWidth, bitmap.Width()) ||
        !Within(a.m_nSourceY, a.m_nSourceHeight, bitmap.Height()) || a.m_nSourceWidth == 0 ||
        a.m_nSourceHeight == 0 || !Within(a.m_nSkipX, a.m_nTargetWidth, a.m_nScaledWidth) ||
        !Within(a.m_nSkipY, a.m_nTargetHeight, a.m_nScaledHeight) ||
        !Within(a.m_nTargetX, a.m_nTargetWidth, nWidth) || !Within(a.m_nTargetY, a.m_nTargetHeight, nHeight))
        return false;

    // The part is read in place: a view of the bitmap's own rows, no copy.
    const QImage& whole = bitmap.Image();
    const QImage source = a.m_nSourceWidth == whole.width() && a.m_nSourceHeight == whole.height()
                              ? whole
                              : QImage(whole.constScanLine(a.m_nSourceY) + std::size_t{4} * a.m_nSourceX,
                                       a.m_nSourceWidth, a.m_nSourceHeight, whole.bytesPerLine(), whole.format());
    // Smooth scaling averages the covered area when reducing and interpolates
    // when enlarging; a part of the right size is taken as it is.
    const QSize scaledSize(a.m_nScaledWidth, a.m_nScaledHeight);
    QImage scaled = source.size() == scaledSize
                        ? source
                        : source.scaled(scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull() || scaled.size() != scaledSize)
        return false;
    if (scaled.format() != QImage::Format_RGB32 && scaled.format() != QImage::Format_ARGB32) {
        scaled = scaled.convertToFormat(QImage::Format_RGB32);
        if (scaled.isNull())
            return false;
    }

    // Canvas row y from the top is memory row H − 1 − y; each pixel is blue,
    // green, red.
    for (std::int32_t y = 0; y < a.m_nTargetHeight; ++y) {
        const QRgb* pLine = reinterpret_cast<const QRgb*>(scaled.constScanLine(a.m_nSkipY + y)) + a.m_nSkipX;
        unsigned char* pRow = pOut + static_cast<std::size_t>(nHeight - 1 - a.m_nTargetY - y) * nStride +
                              std::size_t{3} * a.m_nTargetX;
        for (std::int32_t x = 0; x < a.m_nTargetWidth; ++x) {
            const QRgb pixel = pLine[x];
            pRow[3 * x] = static_cast<unsigned char>(qBlue(pixel));
            pRow[3 * x + 1] = static_cast<unsigned char>(qGreen(pixel));
            pRow[3 * x + 2] = static_cast<unsigned char>(qRed(pixel));
        }
    }
    return true;
}

bool StretchToBgrRows(const GfxBitmap& bitmap, std::int32_t nWidth, std::int32_t nHeight, unsigned char* pOut,
                      std::size_t nOutSize)
{
    const GfxStretchArea whole{0, 0, bitmap.Width(), bitmap.Height(), nWidth, nHeight, 0, 0, 0, 0, nWidth, nHeight};
    return StretchAreaToBgrRows(bitmap, whole, nWidth, nHeight, pOut, nOutSize);
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
