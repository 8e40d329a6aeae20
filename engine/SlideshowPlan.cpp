#include "engine/SlideshowPlan.h"

// Local
#include "engine/Blend.h"

SlideshowPlan::SlideshowPlan(std::int32_t nPictures, std::int32_t nHoldFrames, std::int32_t nFadeFrames) noexcept
    : m_nPictures(nPictures), m_nHoldFrames(nHoldFrames), m_nFadeFrames(nFadeFrames),
      m_dStep(FrameStep(nFadeFrames))
{
}

std::int64_t SlideshowPlan::FrameCount() const noexcept
{
    return std::int64_t{m_nPictures} * m_nHoldFrames + (std::int64_t{m_nPictures} - 1) * m_nFadeFrames;
}

SlideshowPlan::Frame SlideshowPlan::At(std::int64_t nFrame) const noexcept
{
    // Each picture but the last owns its hold and the fade out of it.
    const std::int64_t nPeriod = std::int64_t{m_nHoldFrames} + m_nFadeFrames;
    const auto nPicture = static_cast<std::int32_t>(nFrame / nPeriod);
    const auto nOffset = static_cast<std::int32_t>(nFrame % nPeriod);
    if (nOffset < m_nHoldFrames)
        return Frame{nPicture, nPicture, 0.0};
    return Frame{nPicture, nPicture + 1, FrameWeight(m_dStep, nOffset - m_nHoldFrames)};
}
