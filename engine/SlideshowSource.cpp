#include "engine/SlideshowSource.h"

#include <utility>

// Local
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"

SlideshowSource::SlideshowSource(std::vector<std::string> paths, const Canvas& canvas, const SlideshowPlan& plan)
    : m_paths(std::move(paths)), m_canvas(canvas), m_plan(plan)
{
}

EngineResult<void> SlideshowSource::Allocate()
{
    for (PixelBuffer& buffer : m_buffers) {
        auto allocated = PixelBuffer::Allocate(m_canvas);
        if (!allocated)
            return allocated.Error();
        buffer = std::move(allocated.Value());
    }
    return {};
}

EngineResult<SlideshowSource::Frame> SlideshowSource::At(std::int64_t nFrame)
{
    const SlideshowPlan::Frame planned = m_plan.At(nFrame);
    if (auto loaded = Ensure(planned.m_nFrom); !loaded)
        return loaded.Error();
    if (auto loaded = Ensure(planned.m_nTo); !loaded)
        return loaded.Error();
    return Frame{&m_buffers[planned.m_nFrom % 2], &m_buffers[planned.m_nTo % 2], planned.m_dWeight, planned.m_nTo};
}

EngineResult<void> SlideshowSource::Ensure(std::int32_t nPicture)
{
    const std::size_t nSlot = static_cast<std::size_t>(nPicture % 2);
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
        if (auto scaled = ScalePictureToCanvas(picture.Value(), m_canvas, m_buffers[nSlot], "picture '" + strPath + "'");
            !scaled)
            return scaled;
    }
    m_loaded[nSlot] = nPicture;
    return {};
}
