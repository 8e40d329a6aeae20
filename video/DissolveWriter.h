#pragma once

// The cross-dissolve's frames, made by the frame pipeline and appended to an
// AVI writer: what the wizard's animation render and plavex-cli anim share.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Local
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "engine/PixelBuffer.h"
#include "platform/avi/IFrameEncoder.h"
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

// The encoder for the compressor that writer's InitEngine chose, at the
// canvas size and the file's rate; null with the reason in *pError.
std::unique_ptr<IFrameEncoder> CreateWriterEncoder(const CAviWriter& writer, const Canvas& canvas,
                                                   std::string* pError);

// Makes the nFrames frames that source describes on nWorkers threads,
// compressed by the encoders that makeEncoder gives, and appends them to
// writer as WriteDissolveFrames does; what the dissolve and the slideshow
// share.
FramePipeline::Result WritePipelineFrames(CAviWriter& writer, const Canvas& canvas, std::int32_t nFrames,
                                          int nWorkers, const FramePipeline::SourceFn& source,
                                          const FramePipeline::EncoderFactory& makeEncoder,
                                          const std::function<void(std::int32_t nWritten)>& onWritten,
                                          const FramePipeline::IdleFn& idle);
