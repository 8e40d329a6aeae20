#pragma once

// Gives the frames of a slideshow in order, each as its two scaled pictures
// and a weight, while holding no more than two scaled pictures: a picture is
// loaded and scaled once, when the first frame that shows it comes, into the
// buffer of the picture two places before it, which no later frame shows.
// Memory therefore stays the same whatever the number of pictures.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PixelBuffer.h"
#include "engine/SlideshowPlan.h"

class SlideshowSource {
public:
    struct Frame {
        const PixelBuffer* m_pFrom = nullptr;
        const PixelBuffer* m_pTo = nullptr; // m_pFrom itself in a hold.
        double m_dWeight = 0.0;
        std::int32_t m_nPicture = 0; // The picture shown or faded in, counting from 0.
    };

    SlideshowSource(std::vector<std::string> paths, const Canvas& canvas, const SlideshowPlan& plan);

    // Allocates the two picture buffers.
    EngineResult<void> Allocate();

    // Frame nFrame. Frames must be asked for in order, each after the one
    // before has been used: the buffers of a frame stay valid until the next
    // call. A picture that cannot be loaded or scaled gives the error that
    // names it, before any frame shows it.
    EngineResult<Frame> At(std::int64_t nFrame);

private:
    EngineResult<void> Ensure(std::int32_t nPicture);

    std::vector<std::string> m_paths;
    Canvas m_canvas;
    SlideshowPlan m_plan;
    // Picture i lives in buffer i % 2.
    std::array<PixelBuffer, 2> m_buffers;
    std::array<std::int32_t, 2> m_loaded{-1, -1};
};
