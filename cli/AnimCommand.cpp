#include "cli/AnimCommand.h"

#include <span>

// Local
#include "cli/CliArgs.h"
#include "cli/CliCanvasOptions.h"
#include "cli/CliInterrupt.h"
#include "cli/CliReport.h"
#include "cli/CliVideoOutput.h"
#include "cli/CliVideoSettings.h"
#include "engine/FramePipeline.h"
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "video/DissolveWriter.h"

int RunAnimCommand(const CliArgs& parsed, const CliReport& report)
{
    const auto nFrames = parsed.Whole("frames");
    if (!nFrames)
        return report.Usage(nFrames.Error().m_strMessage);
    const std::string& strOutput = parsed.m_positional[2];
    CliVideoSettings settings;
    if (auto read = ReadVideoSettings(parsed, strOutput, settings); !read)
        return report.Usage(read.Error().m_strMessage);
    CliCanvasOptions options;
    if (auto read = ReadCanvasOptions(parsed, options); !read)
        return report.Usage(read.Error().m_strMessage);

    if (strOutput.empty())
        return report.Fail("cannot write '': no file name");

    // The same steps as the wizard's animation render, with the compressor
    // chosen by the flags instead of the dialog.
    auto first = LoadPictureFile(parsed.m_positional[0]);
    if (!first)
        return report.Fail(first.Error().m_strMessage);
    auto second = LoadPictureFile(parsed.m_positional[1]);
    if (!second)
        return report.Fail(second.Error().m_strMessage);

    const PictureSize sizes[] = {{first.Value().Width(), first.Value().Height()},
                                 {second.Value().Width(), second.Value().Height()}};
    const auto canvasResult = ComputeCliCanvas(options, sizes, report);
    if (!canvasResult)
        return report.Fail(canvasResult.Error().m_strMessage);
    const Canvas& canvas = canvasResult.Value();

    auto firstBuffer = PixelBuffer::Allocate(canvas);
    if (!firstBuffer)
        return report.Fail(firstBuffer.Error().m_strMessage);
    auto secondBuffer = PixelBuffer::Allocate(canvas);
    if (!secondBuffer)
        return report.Fail(secondBuffer.Error().m_strMessage);

    CliVideoOutput video(settings);
    const std::span<const std::string> sources = std::span(parsed.m_positional).first(2);
    if (auto opened = video.Open(canvas, strOutput, sources); !opened)
        return report.Fail(opened.Error().m_strMessage);

    if (auto scaled = ScaleToCanvas(first.Value(), second.Value(), canvas, firstBuffer.Value(), secondBuffer.Value(),
                                    options.m_fit);
        !scaled) {
        video.Abandon();
        return report.Fail(scaled.Error().m_strMessage);
    }

    CliProgressBar bar = report.Progress(nFrames.Value());
    const FramePipeline::Result result = WriteDissolveFrames(
        video.Writer(), firstBuffer.Value(), secondBuffer.Value(), nFrames.Value(), settings.m_nThreads,
        [&bar](std::int32_t nWritten) { bar.Update(nWritten); }, [] { return !CliInterrupted(); });
    bar.Finish();
    return video.Finish(result, report);
}
