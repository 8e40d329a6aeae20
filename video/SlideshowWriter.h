#pragma once

// The frames of a slideshow, made by the frame pipeline one picture's turn at
// a time and appended in order to a video writer. A turn is the fade into the
// picture from the one before it (none for the first) and the picture's hold.
// Each turn's run of the pipeline reads the two pictures of that turn only,
// so the picture before them can be replaced between turns.
//
// A hold is compressed once: into one sample lasting the whole hold where
// the container allows it (MP4), else into one frame written again for each
// frame time when the codec's frames stand alone. A codec whose frames depend
// on the ones before gives an AVI hold frame by frame, as a blend at weight
// 0, which is the picture itself. Either way one encoder carries such a
// codec's frames across every turn, so no key frame is forced at a picture.

#include <cstdint>
#include <functional>
#include <memory>

// Local
#include "engine/FramePipeline.h"
#include "engine/SlideshowPictures.h"
#include "engine/SlideshowPlan.h"
#include "video/IVideoWriter.h"

class SlideshowWriter {
public:
    // writer is open. nWorkers threads make the frames.
    SlideshowWriter(IVideoWriter& writer, const SlideshowPlan& plan, int nWorkers);
    ~SlideshowWriter();

    SlideshowWriter(const SlideshowWriter&) = delete;
    SlideshowWriter& operator=(const SlideshowWriter&) = delete;

    // Writes picture nPicture's turn; pictures holds it and the picture
    // before it. onWritten gets the number of frame times written so far in
    // the whole slideshow; idle runs while the calling thread waits (false
    // aborts). When the result is not Done, its text is the writer's words
    // for the failure and the caller drops the writer uncommitted.
    FramePipeline::Result WriteTurn(const SlideshowPictures& pictures, std::int32_t nPicture,
                                    const std::function<void(std::int64_t nWritten)>& onWritten,
                                    const FramePipeline::IdleFn& idle);

private:
    // Writes the hold of picture, compressed once.
    FramePipeline::Result WriteHold(const PixelBuffer& picture,
                                    const std::function<void(std::int64_t nWritten)>& onWritten,
                                    const FramePipeline::IdleFn& idle);
    // The encoder kept in pKept, which the writer makes the first time.
    EngineResult<IFrameEncoder*> KeptEncoder(std::unique_ptr<IFrameEncoder>& pKept);

    IVideoWriter& m_writer;
    SlideshowPlan m_plan;
    int m_nWorkers;
    bool m_bIndependentFrames;
    // For a codec whose frames depend on the ones before: the one encoder of
    // the whole file, carried from turn to turn.
    std::unique_ptr<IFrameEncoder> m_pCarried;
    // For a codec whose frames stand alone: the encoder of every hold.
    std::unique_ptr<IFrameEncoder> m_pHold;
    std::int64_t m_nWritten = 0;
};
