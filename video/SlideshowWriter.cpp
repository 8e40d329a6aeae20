#include "video/SlideshowWriter.h"

#include <string>

// Local
#include "platform/avi/FrameEncoderFactory.h"
#include "video/DissolveWriter.h"

namespace {

// Lends an encoder that lives across several runs of the pipeline to one of
// them, so frames that depend on the ones before go on from turn to turn.
class LentEncoder : public IFrameEncoder {
public:
    explicit LentEncoder(IFrameEncoder& encoder) : m_encoder(encoder) {}

    bool Encode(const BYTE* pPixels, int nPitch, EncodedFrame* pOut) override
    {
        return m_encoder.Encode(pPixels, nPitch, pOut);
    }
    const std::string& LastError() const override { return m_encoder.LastError(); }

private:
    IFrameEncoder& m_encoder;
};

} // namespace

SlideshowWriter::SlideshowWriter(CAviWriter& writer, const Canvas& canvas, const SlideshowPlan& plan, int nWorkers)
    : m_writer(writer), m_canvas(canvas), m_plan(plan), m_nWorkers(nWorkers),
      m_bIndependentFrames(EncoderFramesAreIndependent(writer.CompressorHandler()))
{
}

SlideshowWriter::~SlideshowWriter() = default;

FramePipeline::Result SlideshowWriter::WriteTurn(const SlideshowPictures& pictures, std::int32_t nPicture,
                                                 const std::function<void(std::int64_t nWritten)>& onWritten,
                                                 const FramePipeline::IdleFn& idle)
{
    const PixelBuffer& to = pictures.Picture(nPicture);
    const PixelBuffer& from = nPicture > 0 ? pictures.Picture(nPicture - 1) : to;
    const std::int32_t nFade = nPicture > 0 ? m_plan.FadeFrames() : 0;
    // Frames that stand alone make a hold of one compressed frame, written
    // again and again; otherwise the hold goes through the one encoder too,
    // as a blend at weight 0, which is the picture itself.
    const std::int32_t nPipelined = m_bIndependentFrames ? nFade : nFade + m_plan.HoldFrames();
    if (nPipelined > 0) {
        const std::int64_t nBefore = m_nWritten;
        const FramePipeline::Result result = WritePipelineFrames(
            m_writer, m_canvas, nPipelined, m_nWorkers,
            [&](std::int32_t k) {
                return k < nFade ? FrameRecipe{&from, &to, m_plan.FadeWeight(k)} : FrameRecipe{&to, &to, 0.0};
            },
            [this](std::string* pError) -> std::unique_ptr<IFrameEncoder> {
                if (m_bIndependentFrames)
                    return CreateWriterEncoder(m_writer, m_canvas, pError);
                if (!m_pCarried)
                    m_pCarried = CreateWriterEncoder(m_writer, m_canvas, pError);
                return m_pCarried ? std::make_unique<LentEncoder>(*m_pCarried) : nullptr;
            },
            [&](std::int32_t nDone) {
                m_nWritten = nBefore + nDone;
                onWritten(m_nWritten);
            },
            idle);
        if (result.m_nOutcome != FramePipeline::Outcome::Done)
            return result;
    }
    if (!m_bIndependentFrames || m_plan.HoldFrames() == 0)
        return {};
    return WriteHold(to, onWritten, idle);
}

FramePipeline::Result SlideshowWriter::WriteHold(const PixelBuffer& picture,
                                                 const std::function<void(std::int64_t nWritten)>& onWritten,
                                                 const FramePipeline::IdleFn& idle)
{
    std::string strError;
    if (!m_pHold)
        m_pHold = CreateWriterEncoder(m_writer, m_canvas, &strError);
    EncodedFrame frame;
    if (!m_pHold || !m_pHold->Encode(picture.Data(), m_canvas.Stride(), &frame)) {
        m_writer.FailFrame(AVIERR_COMPRESSOR);
        return {FramePipeline::Outcome::EncodeFailed, m_pHold ? m_pHold->LastError() : strError};
    }
    for (std::int32_t h = 0; h < m_plan.HoldFrames(); ++h) {
        if (m_writer.AddEncodedFrame(frame) != AVIERR_OK)
            return {FramePipeline::Outcome::WriteFailed, m_writer.RunErrorText()};
        onWritten(++m_nWritten);
        if (!idle())
            return {FramePipeline::Outcome::Aborted, {}};
    }
    return {};
}
