#pragma once

// The cross-dissolve's frames, made by the frame pipeline and appended to a
// video writer: what the wizard's animation render and plavex-cli anim share.

#include <cstdint>
#include <functional>

// Local
#include "engine/FramePipeline.h"
#include "engine/PixelBuffer.h"
#include "video/IVideoWriter.h"

// Makes the nFrames frames from first to second (frame k has the weight
// k × 1 / (N − 1)) on nWorkers threads and appends them in order to writer,
// which is open. onWritten(k + 1) runs after frame k is written; idle runs
// while the calling thread waits (false aborts). When the result is not
// Done, its text is the writer's words for the failure and the caller drops
// the writer uncommitted.
FramePipeline::Result WriteDissolveFrames(IVideoWriter& writer, const PixelBuffer& first, const PixelBuffer& second,
                                          std::int32_t nFrames, int nWorkers,
                                          const std::function<void(std::int32_t nWritten)>& onWritten,
                                          const FramePipeline::IdleFn& idle);

// Makes the nFrames frames that source describes on nWorkers threads,
// compressed by the encoders that makeEncoder gives, and appends them to
// writer as WriteDissolveFrames does; what the dissolve and the slideshow
// share.
FramePipeline::Result WritePipelineFrames(IVideoWriter& writer, std::int32_t nFrames, int nWorkers,
                                          const FramePipeline::SourceFn& source,
                                          const FramePipeline::EncoderFactory& makeEncoder,
                                          const std::function<void(std::int32_t nWritten)>& onWritten,
                                          const FramePipeline::IdleFn& idle);
