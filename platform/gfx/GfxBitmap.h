#pragma once

// A decoded source picture that its owner holds until the render ends: an
// opaque 32-bit raster with no transparency left in it.

#include <cstdint>

// Qt
#include <QImage>

class GfxBitmap {
public:
    GfxBitmap() = default;
    // Takes an image in QImage::Format_RGB32; other formats are converted.
    explicit GfxBitmap(QImage image);

    bool IsNull() const noexcept { return m_image.isNull(); }
    std::int32_t Width() const noexcept { return m_image.width(); }
    std::int32_t Height() const noexcept { return m_image.height(); }

    const QImage& Image() const noexcept { return m_image; }

private:
    QImage m_image;
};
