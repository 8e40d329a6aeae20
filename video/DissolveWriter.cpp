#include "video/DissolveWriter.h"

#include <string>

// Local
#include "engine/Blend.h"
#include "platform/avi/FrameEncoderFactory.h"

FramePipeline::Result WriteDissolveFrames(CAviWriter& writer, const Canvas& canvas, const PixelBuffer& first,
                                          const PixelBuffer& second, std::int32_t nFrames, int nWorkers,
                                          const std::function<void(std::int32_t nWritten)>& onWritten,
                                          const FramePipeline::IdleFn& idle)
{
    const FOURCC fccHandler = writer.CompressorHandler();
    const int nQuality = writer.CompressorQuality();
    FramePipeline::Settings settings;
    settings.m_canvas = canvas;
    settings.m_nFrames = nFrames;
    settings.m_nWorkers = nWorkers;
    settings.m_bIndependentFrames = EncoderFramesAreIndependent(fccHandler);

    const double dStep = FrameStep(nFrames);
    FramePipeline pipeline(
        settings,
        [&](std::int32_t k) { return FrameRecipe{&first, &second, FrameWeight(dStep, k)}; },
        [&](std::string* pError) {
            // An encoder that times its frames is told the file's rate.
            const DWORD dwRate = writer.m_nRate > 0 ? static_cast<DWORD>(writer.m_nRate) : kDefaultFrameRate;
            return CreateFrameEncoder(fccHandler, canvas.Width(), canvas.Height(), nQuality, pError, dwRate, 1);
        },
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
