#include "engine/PixelBuffer.h"

#include <cstdlib>
#include <string>

EngineResult<PixelBuffer> PixelBuffer::Allocate(std::size_t nSize)
{
    PixelBuffer buffer;
    if (nSize == 0)
        return buffer;
    // calloc maps large blocks as fresh zero pages, so the clearing is free.
    buffer.m_pData.reset(static_cast<BYTE*>(std::calloc(nSize, 1)));
    if (!buffer.m_pData)
        return EngineError{EngineErrorCode::OutOfMemory,
                           "not enough memory for a picture buffer of " + std::to_string(nSize) + " bytes"};
    buffer.m_nSize = nSize;
    return buffer;
}

EngineResult<PixelBuffer> PixelBuffer::Allocate(const Canvas& canvas)
{
    return Allocate(static_cast<std::size_t>(canvas.ImageSize()));
}
