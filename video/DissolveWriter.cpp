#include "video/DissolveWriter.h"

// Local
#include "engine/Blend.h"

FramePipeline::Result WritePipelineFrames(IVideoWriter& writer, std::int32_t nFrames, int nWorkers,
                                          const FramePipeline::SourceFn& source,
                                          const FramePipeline::EncoderFactory& makeEncoder,
                                          const std::function<void(std::int32_t nWritten)>& onWritten,
                                          const FramePipeline::IdleFn& idle)
{
    FramePipeline::Settings settings;
    settings.m_canvas = writer.Format().m_canvas;
    settings.m_nFrames = nFrames;
    settings.m_nWorkers = nWorkers;
    settings.m_bIndependentFrames = writer.Format().m_pCodec->m_bFramesStandAlone;

    FramePipeline pipeline(
        settings, source, makeEncoder,
        [&](std::int32_t k, const EncodedFrame& frame) -> EngineResult<void> {
            auto written = writer.WriteFrame(frame);
            if (written)
                onWritten(k + 1);
            return written;
        },
        idle);
    FramePipeline::Result result = pipeline.Run();
    // A frame that could not be compressed is told in the writer's words.
    if (result.m_nOutcome == FramePipeline::Outcome::EncodeFailed)
        result.m_strError = writer.EncodeFailure(result.m_strError).m_strMessage;
    return result;
}

FramePipeline::Result WriteDissolveFrames(IVideoWriter& writer, const PixelBuffer& first, const PixelBuffer& second,
                                          std::int32_t nFrames, int nWorkers,
                                          const std::function<void(std::int32_t nWritten)>& onWritten,
                                          const FramePipeline::IdleFn& idle)
{
    const double dStep = FrameStep(nFrames);
    return WritePipelineFrames(
        writer, nFrames, nWorkers,
        [&](std::int32_t k) { return FrameRecipe{&first, &second, FrameWeight(dStep, k)}; },
        [&writer] { return writer.MakeEncoder(); }, onWritten, idle);
}
