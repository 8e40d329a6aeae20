#include "engine/PictureFit.h"

#include <algorithm>

namespace {

// Products of a box side and a picture side can pass 2^63 for a long
// panorama over a large canvas, so they are formed in 128 bits.
using Wide = __int128;

std::int64_t FloorDiv(Wide a, Wide b) noexcept
{
    const Wide q = a / b;
    return static_cast<std::int64_t>(q * b > a ? q - 1 : q);
}

std::int64_t CeilDiv(Wide a, Wide b) noexcept
{
    return -FloorDiv(-a, b);
}

// a / b rounded to the nearest whole number, halves up; b > 0.
std::int64_t RoundDiv(Wide a, Wide b) noexcept
{
    return FloorDiv(2 * a + b, 2 * b);
}

// One axis of a plan: the picture's pixels 0..nPicture, scaled into a box
// of nBox pixels from nBoxAt, seen through the canvas's 0..nCanvas.
struct AxisPlan {
    std::int64_t m_nSourceAt, m_nSource, m_nScaled, m_nSkip, m_nTargetAt, m_nTarget;
};

AxisPlan PlanAxis(std::int64_t nPicture, std::int64_t nCanvas, std::int64_t nBoxAt, std::int64_t nBox) noexcept
{
    if (nBoxAt >= 0 && nBoxAt + nBox <= nCanvas)
        return {0, nPicture, nBox, 0, nBoxAt, nBox};
    // Canvas pixel x shows picture position (x − nBoxAt) × nPicture / nBox.
    // The part scaled is the whole picture pixels behind the canvas; it is
    // scaled at the box's own scale and shifted by the fraction of a pixel
    // that lies before the canvas.
    const Wide nFrom = Wide{-nBoxAt} * nPicture, nTo = Wide{nCanvas - nBoxAt} * nPicture;
    const std::int64_t nFirst = std::max<std::int64_t>(0, FloorDiv(nFrom, nBox));
    const std::int64_t nEnd = std::min(nPicture, std::max(nFirst + 1, CeilDiv(nTo, nBox)));
    const std::int64_t nSkip = RoundDiv(nFrom - Wide{nFirst} * nBox, nPicture);
    const std::int64_t nScaled = std::max(RoundDiv(Wide{nEnd - nFirst} * nBox, nPicture), nSkip + nCanvas);
    if (nScaled <= 2 * nCanvas)
        return {nFirst, nEnd - nFirst, nScaled, nSkip, 0, nCanvas};
    // Fewer than two picture pixels lie behind the canvas, each enlarged
    // beyond half of it: the nearest whole pixels are scaled to the canvas
    // instead, so the scaled part stays near the canvas's size.
    const std::int64_t nNear = std::min(nPicture - 1, RoundDiv(nFrom, nBox));
    const std::int64_t nNearEnd = std::min(nPicture, std::max(nNear + 1, RoundDiv(nTo, nBox)));
    return {nNear, nNearEnd - nNear, nCanvas, 0, 0, nCanvas};
}

} // namespace

FitRect PictureBox(std::int32_t nPictureWidth, std::int32_t nPictureHeight, std::int32_t nCanvasWidth,
                   std::int32_t nCanvasHeight, PictureFit nFit)
{
    const FitRect canvas{0, 0, nCanvasWidth, nCanvasHeight};
    if (nFit == PictureFit::Stretch || nPictureWidth <= 0 || nPictureHeight <= 0 || nCanvasWidth <= 0 ||
        nCanvasHeight <= 0)
        return canvas;
    // The picture is relatively wider than the canvas when w / h > W / H.
    const bool bWider = Wide{nPictureWidth} * nCanvasHeight > Wide{nCanvasWidth} * nPictureHeight;
    // Contain fits the relatively longer side to the canvas, cover the shorter.
    const bool bFullWidth = bWider == (nFit == PictureFit::Contain);
    FitRect box = canvas;
    if (bFullWidth)
        box.m_nHeight = std::max<std::int64_t>(1, RoundDiv(Wide{nCanvasWidth} * nPictureHeight, nPictureWidth));
    else
        box.m_nWidth = std::max<std::int64_t>(1, RoundDiv(Wide{nCanvasHeight} * nPictureWidth, nPictureHeight));
    box.m_nX = FloorDiv(nCanvasWidth - box.m_nWidth, 2);
    box.m_nY = FloorDiv(nCanvasHeight - box.m_nHeight, 2);
    return box;
}

GfxStretchArea PlanPicture(std::int32_t nPictureWidth, std::int32_t nPictureHeight, std::int32_t nCanvasWidth,
                           std::int32_t nCanvasHeight, PictureFit nFit)
{
    if (nPictureWidth <= 0 || nPictureHeight <= 0 || nCanvasWidth <= 0 || nCanvasHeight <= 0)
        return {};
    const FitRect box = PictureBox(nPictureWidth, nPictureHeight, nCanvasWidth, nCanvasHeight, nFit);
    const AxisPlan x = PlanAxis(nPictureWidth, nCanvasWidth, box.m_nX, box.m_nWidth);
    const AxisPlan y = PlanAxis(nPictureHeight, nCanvasHeight, box.m_nY, box.m_nHeight);
    // A scaled side is at most twice the canvas's, which 32 bits hold.
    const auto n = [](std::int64_t nValue) { return static_cast<std::int32_t>(nValue); };
    return {n(x.m_nSourceAt), n(y.m_nSourceAt), n(x.m_nSource),   n(y.m_nSource),   n(x.m_nScaled), n(y.m_nScaled),
            n(x.m_nSkip),     n(y.m_nSkip),     n(x.m_nTargetAt), n(y.m_nTargetAt), n(x.m_nTarget), n(y.m_nTarget)};
}
