#include "engine/SlideshowPictures.h"

#include <utility>

// Local
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"

SlideshowPictures::SlideshowPictures(std::vector<std::string> paths, const Canvas& canvas, const FitOptions& fit)
    : m_paths(std::move(paths)), m_canvas(canvas), m_fit(fit)
{
}

EngineResult<void> SlideshowPictures::Allocate()
{
    for (PixelBuffer& buffer : m_buffers) {
        auto allocated = PixelBuffer::Allocate(m_canvas);
        if (!allocated)
            return allocated.Error();
        buffer = std::move(allocated.Value());
    }
    return {};
}

EngineResult<void> SlideshowPictures::Load(std::int32_t nPicture)
{
    const std::size_t nSlot = Slot(nPicture);
    if (m_loaded[nSlot] == nPicture)
        return {};
    // The slot is marked empty first, so a failure never leaves it claiming
    // a picture it only half holds.
    m_loaded[nSlot] = -1;
    const std::string& strPath = m_paths[static_cast<std::size_t>(nPicture)];
    {
        // The decoded picture is dropped as soon as it is scaled.
        auto picture = LoadPictureFile(strPath);
        if (!picture)
            return picture.Error();
        auto scaled =
            ScalePictureToCanvas(picture.Value(), m_canvas, m_buffers[nSlot], "picture '" + strPath + "'", m_fit);
        if (!scaled)
            return scaled;
    }
    m_loaded[nSlot] = nPicture;
    return {};
}
