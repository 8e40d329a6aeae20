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

double SlideshowPlan::FadeWeight(std::int32_t k) const noexcept
{
    return FrameWeight(m_dStep, k);
}
