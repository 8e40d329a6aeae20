#include "platform/gfx/GfxBitmap.h"

#include <utility>

GfxBitmap::GfxBitmap(QImage image)
    : m_image(image.format() == QImage::Format_RGB32 ? std::move(image)
                                                       : image.convertToFormat(QImage::Format_RGB32))
{
}
