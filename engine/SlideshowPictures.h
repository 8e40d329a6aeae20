#pragma once

// The scaled pictures of a slideshow, of which it holds no more than two:
// picture i is loaded and scaled once, when its turn comes, into the buffer
// of picture i − 2, which no later frame shows. Memory therefore stays the
// same whatever the number of pictures.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PictureFit.h"
#include "engine/PixelBuffer.h"

class SlideshowPictures {
public:
    // Each picture meets the canvas as fit says.
    SlideshowPictures(std::vector<std::string> paths, const Canvas& canvas, const FitOptions& fit = {});

    // Allocates the two picture buffers.
    EngineResult<void> Allocate();

    // Makes picture nPicture (counting from 0) ready, unless it already is.
    // Picture nPicture − 2 is gone afterwards. A picture that cannot be loaded
    // or scaled gives the error that names it.
    EngineResult<void> Load(std::int32_t nPicture);

    // Picture nPicture, which Load made ready and has not replaced since.
    const PixelBuffer& Picture(std::int32_t nPicture) const { return m_buffers[Slot(nPicture)]; }

private:
    static std::size_t Slot(std::int32_t nPicture) { return static_cast<std::size_t>(nPicture % 2); }

    std::vector<std::string> m_paths;
    Canvas m_canvas;
    FitOptions m_fit;
    std::array<PixelBuffer, 2> m_buffers;
    std::array<std::int32_t, 2> m_loaded{-1, -1};
};
