#pragma once

// The frames of a slideshow, made by the frame pipeline one picture's turn at
// a time and appended in order to an AVI writer. A turn is the fade into the
// picture from the one before it (none for the first) and the picture's hold.
// Each turn's run of the pipeline reads the two pictures of that turn only,
// so the picture before them can be replaced between turns.

#include <cstdint>
#include <functional>
#include <memory>

// Local
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "engine/SlideshowPictures.h"
#include "engine/SlideshowPlan.h"
#include "platform/avi/IFrameEncoder.h"
#include "video/CAviWriter.h"

class SlideshowWriter {
public:
    // writer has been opened by InitEngine. nWorkers threads make the frames.
    SlideshowWriter(CAviWriter& writer, const Canvas& canvas, const SlideshowPlan& plan, int nWorkers);
    ~SlideshowWriter();

    SlideshowWriter(const SlideshowWriter&) = delete;
    SlideshowWriter& operator=(const SlideshowWriter&) = delete;

    // Writes picture nPicture's turn; pictures holds it and the picture
    // before it. onWritten gets the number of frames written so far in the
    // whole slideshow after each frame; idle runs while the calling thread
    // waits (false aborts). When the result is not Done the writer holds the
    // failure and the caller abandons it.
    FramePipeline::Result WriteTurn(const SlideshowPictures& pictures, std::int32_t nPicture,
                                    const std::function<void(std::int64_t nWritten)>& onWritten,
                                    const FramePipeline::IdleFn& idle);

private:
    // Writes the hold of picture as one frame compressed once.
    FramePipeline::Result WriteHold(const PixelBuffer& picture,
                                    const std::function<void(std::int64_t nWritten)>& onWritten,
                                    const FramePipeline::IdleFn& idle);

    CAviWriter& m_writer;
    Canvas m_canvas;
    SlideshowPlan m_plan;
    int m_nWorkers;
    bool m_bIndependentFrames;
    // For a compressor whose frames depend on the ones before (H.264, FFV1):
    // the one encoder of the whole file, carried from turn to turn.
    std::unique_ptr<IFrameEncoder> m_pCarried;
    // For a compressor whose frames stand alone: the encoder that compresses
    // each hold's picture once for all its frames.
    std::unique_ptr<IFrameEncoder> m_pHold;
    std::int64_t m_nWritten = 0;
};
