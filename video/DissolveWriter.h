#pragma once

// The cross-dissolve's frames, made by the frame pipeline and appended to an
// AVI writer: what the wizard's animation render and plavex-cli anim share.

#include <cstdint>
#include <functional>

// Local
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "engine/PixelBuffer.h"
#include "video/CAviWriter.h"

// Makes the nFrames frames from first to second (frame k has the weight
// k × 1 / (N − 1)) on nWorkers threads and appends them in order to writer,
// which InitEngine has opened. onWritten(k + 1) runs after frame k is
// written; idle runs while the calling thread waits (false aborts). When the
// result is not Done the writer holds the failure and the caller abandons it.
FramePipeline::Result WriteDissolveFrames(CAviWriter& writer, const Canvas& canvas, const PixelBuffer& first,
                                          const PixelBuffer& second, std::int32_t nFrames, int nWorkers,
                                          const std::function<void(std::int32_t nWritten)>& onWritten,
                                          const FramePipeline::IdleFn& idle);
