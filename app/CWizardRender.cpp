#include "app/CWizardRender.h"

#include <utility>

// Local
#include "engine/Blend.h"
#include "engine/BlendWeight.h"
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "engine/SameFile.h"
#include "engine/StillFile.h"
#include "platform/gfx/GfxBitmap.h"
#include "video/DissolveWriter.h"
#include "video/VideoContainer.h"

namespace {

const EngineError kCancelled{EngineErrorCode::Cancelled, "cancelled"};

// What both renders load and allocate before their own work begins.
struct RenderInputs {
    GfxBitmap m_first;
    GfxBitmap m_second;
    Canvas m_canvas;
    PixelBuffer m_output;
    PixelBuffer m_firstBuffer;
    PixelBuffer m_secondBuffer;
};

// Loads both pictures, computes the canvas and allocates the three buffers.
EngineResult<void> Prepare(const CWizardRender::Job& job, RenderInputs& in)
{
    // The second picture is not opened when the first cannot be loaded.
    auto first = LoadPictureFile(job.m_strFirst);
    if (!first)
        return first.Error();
    auto second = LoadPictureFile(job.m_strSecond);
    if (!second)
        return second.Error();
    in.m_first = std::move(first.Value());
    in.m_second = std::move(second.Value());

    // An impossible size is refused before anything is allocated or written.
    auto canvas = ComputeCanvas(job.m_nSizeMode, job.m_nWidth, job.m_nHeight, in.m_first.Width(),
                                in.m_first.Height(), in.m_second.Width(), in.m_second.Height());
    if (!canvas)
        return canvas.Error();
    in.m_canvas = canvas.Value();

    // The three buffers, in the order output, first picture, second picture.
    for (PixelBuffer* pBuffer : {&in.m_output, &in.m_firstBuffer, &in.m_secondBuffer}) {
        auto buffer = PixelBuffer::Allocate(in.m_canvas);
        if (!buffer)
            return buffer.Error();
        *pBuffer = std::move(buffer.Value());
    }
    return {};
}

} // namespace

EngineResult<std::string> CWizardRender::OutputFile(const Job& job, bool bAnimation)
{
    if (!bAnimation)
        if (auto named = CheckStillFileName(job.m_strOutput); !named)
            return named.Error();
    std::string strName = bAnimation ? VideoFileName(job.m_strOutput) : job.m_strOutput;
    if (auto checked = CheckOutputIsNotASource(strName, job.m_strFirst, job.m_strSecond); !checked)
        return checked.Error();
    return strName;
}

EngineResult<std::string> CWizardRender::RenderStill(const StillJob& job)
{
    RenderInputs in;
    if (auto prepared = Prepare(job, in); !prepared)
        return prepared.Error();
    if (auto output = OutputFile(job, false); !output)
        return output.Error();
    const Canvas& canvas = in.m_canvas;
    if (auto scaled = ScaleToCanvas(in.m_first, in.m_second, canvas, in.m_firstBuffer, in.m_secondBuffer, {job.m_nFit});
        !scaled)
        return scaled.Error();

    const BlendWeight weight(StillWeight(job.m_nRatio));
    const std::int32_t nHeight = canvas.Height();
    for (std::int32_t r = 0; r < nHeight; ++r) {
        BlendRow(in.m_firstBuffer, in.m_secondBuffer, in.m_output, canvas, r, weight);
        if (!m_keepGoing())
            return kCancelled; // nothing has been written yet
        m_onProgress(r, nHeight);
    }

    // The writer stages the picture beside the target and replaces the
    // target only once the whole file is on disk; a file under that name,
    // if there was one, is as it was when it fails.
    if (auto saved = SaveStillFile(job.m_strOutput, in.m_output, canvas); !saved)
        return saved.Error();
    return job.m_strOutput;
}

EngineResult<std::string> CWizardRender::RenderAnimation(const AnimationJob& job)
{
    // The writer is not set up before both pictures are loaded, so a picture
    // that cannot be loaded leaves no file behind.
    RenderInputs in;
    if (auto prepared = Prepare(job, in); !prepared)
        return prepared.Error();
    const Canvas& canvas = in.m_canvas;

    const auto output = OutputFile(job, true);
    if (!output)
        return output.Error();
    const std::string& strName = output.Value();
    // The compressor is chosen after both loads and before any pixel work,
    // among the codecs the name's container carries.
    const VideoContainer container = ContainerOfName(strName);
    const auto choice = m_chooseCompression(CodecsOf(container));
    if (!choice)
        return kCancelled;
    // A writer that goes uncommitted takes its temporary file with it.
    std::unique_ptr<IVideoWriter> pWriter = MakeVideoWriter(container);
    const auto notSaved = [&strName](std::string strWhy) {
        return EngineError{EngineErrorCode::WriteFailed, std::move(strWhy), strName};
    };
    if (auto opened = pWriter->Open(strName, {canvas, job.m_nFps, choice->m_pCodec, choice->m_nQuality}); !opened)
        return notSaved(opened.Error().m_strMessage);
    if (auto scaled = ScaleToCanvas(in.m_first, in.m_second, canvas, in.m_firstBuffer, in.m_secondBuffer, {job.m_nFit});
        !scaled)
        return scaled.Error();

    // The pipeline blends into frames of its own. The frames are made on
    // every core; this thread writes them in order and reports each one.
    in.m_output = PixelBuffer();
    const std::int32_t nFrameCount = job.m_nFrameCount;
    const FramePipeline::Result result = WriteDissolveFrames(
        *pWriter, in.m_firstBuffer, in.m_secondBuffer, nFrameCount, FramePipeline::DefaultWorkers(),
        [this, nFrameCount](std::int32_t nWritten) { m_onProgress(nWritten, nFrameCount); },
        [this] { return m_keepGoing(); });
    if (result.m_nOutcome == FramePipeline::Outcome::Aborted)
        return kCancelled;
    in.m_firstBuffer = PixelBuffer();
    in.m_secondBuffer = PixelBuffer();
    // A file that lacks a frame is no result: it is dropped.
    if (result.m_nOutcome != FramePipeline::Outcome::Done)
        return notSaved(result.m_strError);
    if (auto committed = pWriter->Commit(); !committed)
        return notSaved(committed.Error().m_strMessage);
    return strName;
}
