#pragma once

// Both source pictures on one small canvas, blended on demand: the picture
// of the preview window. The pictures are scaled once and blended for every
// new weight, so following a slider costs one pass over a small buffer.

#include <cstdint>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PictureFit.h"
#include "engine/PixelBuffer.h"
#include "platform/gfx/GfxBitmap.h"

class PreviewBlend {
public:
    PreviewBlend() = default;

    // Scales both pictures onto a canvas of nWidth × nHeight, each side
    // rounded down to a multiple of 4, as fit says. A canvas with no pixels
    // is refused.
    static EngineResult<PreviewBlend> Make(const GfxBitmap& first, const GfxBitmap& second, std::int32_t nWidth,
                                           std::int32_t nHeight, const FitOptions& fit = {});

    const Canvas& GetCanvas() const noexcept { return m_canvas; }

    // Blends the two with weight w (0..1) through the engine's blend and
    // gives the result, rows bottom-up as in every PixelBuffer.
    const PixelBuffer& Blend(double w) noexcept;

private:
    Canvas m_canvas;
    PixelBuffer m_first;
    PixelBuffer m_second;
    PixelBuffer m_output;
};
