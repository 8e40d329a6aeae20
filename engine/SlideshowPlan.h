#pragma once

// The frames of a slideshow of n pictures: each picture is held for H
// frames, and D frames dissolve each picture into the next, so the sequence
// is hold(P0), fade(P0 → P1), hold(P1), …, fade(Pn−2 → Pn−1), hold(Pn−1),
// n·H + (n−1)·D frames in all. Fade frame k of D has exactly the weight of
// frame k of a D-frame animation.

#include <cstdint>

class SlideshowPlan {
public:
    // nPictures ≥ 1, nHoldFrames ≥ 0, nFadeFrames ≥ 2.
    SlideshowPlan(std::int32_t nPictures, std::int32_t nHoldFrames, std::int32_t nFadeFrames) noexcept;

    std::int32_t Pictures() const noexcept { return m_nPictures; }
    std::int32_t HoldFrames() const noexcept { return m_nHoldFrames; }
    std::int32_t FadeFrames() const noexcept { return m_nFadeFrames; }

    // In 64 bits: the caller decides whether that many frames can be written.
    std::int64_t FrameCount() const noexcept;

    // The weight of the next picture in fade frame k, 0 ≤ k < FadeFrames().
    double FadeWeight(std::int32_t k) const noexcept;

private:
    std::int32_t m_nPictures;
    std::int32_t m_nHoldFrames;
    std::int32_t m_nFadeFrames;
    double m_dStep;
};
