#include "video/DissolveWriter.h"

#include <string>

// Local
#include "engine/Blend.h"
#include "platform/avi/FrameEncoderFactory.h"

std::unique_ptr<IFrameEncoder> CreateWriterEncoder(const CAviWriter& writer, const Canvas& canvas,
                                                   std::string* pError)
{
    // An encoder that times its frames is told the file's rate.
    const DWORD dwRate = writer.m_nRate > 0 ? static_cast<DWORD>(writer.m_nRate) : kDefaultFrameRate;
    return CreateFrameEncoder(writer.CompressorHandler(), canvas.Width(), canvas.Height(),
                              writer.CompressorQuality(), pError, dwRate, 1);
}

FramePipeline::Result WritePipelineFrames(CAviWriter& writer, const Canvas& canvas, std::int32_t nFrames,
                                          int nWorkers, const FramePipeline::SourceFn& source,
                                          const FramePipeline::EncoderFactory& makeEncoder,
                                          const std::function<void(std::int32_t nWritten)>& onWritten,
                                          const FramePipeline::IdleFn& idle)
{
    FramePipeline::Settings settings;
    settings.m_canvas = canvas;
    settings.m_nFrames = nFrames;
    settings.m_nWorkers = nWorkers;
    settings.m_bIndependentFrames = EncoderFramesAreIndependent(writer.CompressorHandler());

    FramePipeline pipeline(
        settings, source, makeEncoder,
        [&](std::int32_t k, const EncodedFrame& frame, std::string* pError) {
            if (writer.AddEncodedFrame(frame) != AVIERR_OK) {
                *pError = writer.RunErrorText();
                return false;
            }
            onWritten(k + 1);
            return true;
        },
        idle);
    const FramePipeline::Result result = pipeline.Run();
    // A frame that could not be compressed spoils the run as a failed write does.
    if (result.m_nOutcome == FramePipeline::Outcome::EncodeFailed)
        writer.FailFrame(AVIERR_COMPRESSOR);
    return result;
}

FramePipeline::Result WriteDissolveFrames(CAviWriter& writer, const Canvas& canvas, const PixelBuffer& first,
                                          const PixelBuffer& second, std::int32_t nFrames, int nWorkers,
                                          const std::function<void(std::int32_t nWritten)>& onWritten,
                                          const FramePipeline::IdleFn& idle)
{
    const double dStep = FrameStep(nFrames);
    return WritePipelineFrames(
        writer, canvas, nFrames, nWorkers,
        [&](std::int32_t k) { return FrameRecipe{&first, &second, FrameWeight(dStep, k)}; },
        [&](std::string* pError) { return CreateWriterEncoder(writer, canvas, pError); }, onWritten, idle);
}
