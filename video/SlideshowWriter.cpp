#include "video/SlideshowWriter.h"

// Local
#include "video/DissolveWriter.h"

namespace {

// Lends an encoder that lives across several runs of the pipeline to one of
// them, so frames that depend on the ones before go on from turn to turn.
class LentEncoder : public IFrameEncoder {
public:
    explicit LentEncoder(IFrameEncoder& encoder) : m_encoder(encoder) {}

    EngineResult<EncodedFrame> Encode(const std::uint8_t* pPixels, std::int32_t nPitch) override
    {
        return m_encoder.Encode(pPixels, nPitch);
    }

private:
    IFrameEncoder& m_encoder;
};

} // namespace

SlideshowWriter::SlideshowWriter(IVideoWriter& writer, const SlideshowPlan& plan, int nWorkers)
    : m_writer(writer), m_plan(plan), m_nWorkers(nWorkers),
      m_bIndependentFrames(writer.Format().m_pCodec->m_bFramesStandAlone)
{
}

SlideshowWriter::~SlideshowWriter() = default;

EngineResult<IFrameEncoder*> SlideshowWriter::KeptEncoder(std::unique_ptr<IFrameEncoder>& pKept)
{
    if (!pKept) {
        auto encoder = m_writer.MakeEncoder();
        if (!encoder)
            return encoder.Error();
        pKept = std::move(encoder.Value());
    }
    return pKept.get();
}

FramePipeline::Result SlideshowWriter::WriteTurn(const SlideshowPictures& pictures, std::int32_t nPicture,
                                                 const std::function<void(std::int64_t nWritten)>& onWritten,
                                                 const FramePipeline::IdleFn& idle)
{
    const PixelBuffer& to = pictures.Picture(nPicture);
    const PixelBuffer& from = nPicture > 0 ? pictures.Picture(nPicture - 1) : to;
    const std::int32_t nFade = nPicture > 0 ? m_plan.FadeFrames() : 0;
    const bool bHoldOnce = m_bIndependentFrames || m_writer.HoldsInOneSample();
    const std::int32_t nPipelined = bHoldOnce ? nFade : nFade + m_plan.HoldFrames();
    if (nPipelined > 0) {
        const std::int64_t nBefore = m_nWritten;
        const FramePipeline::Result result = WritePipelineFrames(
            m_writer, nPipelined, m_nWorkers,
            [&](std::int32_t k) {
                return k < nFade ? FrameRecipe{&from, &to, m_plan.FadeWeight(k)} : FrameRecipe{&to, &to, 0.0};
            },
            [this]() -> EngineResult<std::unique_ptr<IFrameEncoder>> {
                if (m_bIndependentFrames)
                    return m_writer.MakeEncoder();
                auto carried = KeptEncoder(m_pCarried);
                if (!carried)
                    return carried.Error();
                return std::unique_ptr<IFrameEncoder>(std::make_unique<LentEncoder>(*carried.Value()));
            },
            [&](std::int32_t nDone) {
                m_nWritten = nBefore + nDone;
                onWritten(m_nWritten);
            },
            idle);
        if (result.m_nOutcome != FramePipeline::Outcome::Done)
            return result;
    }
    if (!bHoldOnce || m_plan.HoldFrames() == 0)
        return {};
    return WriteHold(to, onWritten, idle);
}

FramePipeline::Result SlideshowWriter::WriteHold(const PixelBuffer& picture,
                                                 const std::function<void(std::int64_t nWritten)>& onWritten,
                                                 const FramePipeline::IdleFn& idle)
{
    const auto failed = [](FramePipeline::Outcome nOutcome, const EngineError& error) {
        return FramePipeline::Result{nOutcome, error.m_strMessage};
    };
    const auto encoder = KeptEncoder(m_bIndependentFrames ? m_pHold : m_pCarried);
    if (!encoder)
        return failed(FramePipeline::Outcome::EncodeFailed, m_writer.EncodeFailure(encoder.Error().m_strMessage));
    const auto frame = encoder.Value()->Encode(picture.Data(), m_writer.Format().m_canvas.Stride());
    if (!frame)
        return failed(FramePipeline::Outcome::EncodeFailed, m_writer.EncodeFailure(frame.Error().m_strMessage));
    // One sample for the whole hold, or the frame once for each frame time,
    // looking up after each so that a long hold can be stopped.
    const std::int32_t nSamples = m_writer.HoldsInOneSample() ? 1 : m_plan.HoldFrames();
    const std::int32_t nEach = m_plan.HoldFrames() / nSamples;
    for (std::int32_t h = 0; h < nSamples; ++h) {
        if (auto written = m_writer.WriteFrame(frame.Value(), nEach); !written)
            return failed(FramePipeline::Outcome::WriteFailed, written.Error());
        onWritten(m_nWritten += nEach);
        if (!idle())
            return {FramePipeline::Outcome::Aborted, {}};
    }
    return {};
}
