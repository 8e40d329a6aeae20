#include "engine/PreviewBlend.h"

#include <utility>

// Local
#include "engine/Blend.h"
#include "engine/PictureScaler.h"

EngineResult<PreviewBlend> PreviewBlend::Make(const GfxBitmap& first, const GfxBitmap& second,
                                              std::int32_t nWidth, std::int32_t nHeight, const FitOptions& fit)
{
    auto canvas = ComputeCanvas(kSizeModeCustom, nWidth, nHeight, 0, 0, 0, 0);
    if (!canvas)
        return canvas.Error();
    if (canvas.Value().Width() == 0 || canvas.Value().Height() == 0)
        return EngineError{EngineErrorCode::InvalidCanvas, "the preview has no pixels"};

    PreviewBlend blend;
    blend.m_canvas = canvas.Value();
    for (PixelBuffer* pBuffer : {&blend.m_output, &blend.m_first, &blend.m_second}) {
        auto buffer = PixelBuffer::Allocate(blend.m_canvas);
        if (!buffer)
            return buffer.Error();
        *pBuffer = std::move(buffer.Value());
    }
    if (auto scaled = ScaleToCanvas(first, second, blend.m_canvas, blend.m_first, blend.m_second, fit); !scaled)
        return scaled.Error();
    return blend;
}

const PixelBuffer& PreviewBlend::Blend(double w) noexcept
{
    BlendBytes(m_first.Data(), m_second.Data(), m_output.Data(), m_output.Size(), w);
    return m_output;
}
