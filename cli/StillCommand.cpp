#include "cli/StillCommand.h"

// Local
#include "cli/CliArgs.h"
#include "cli/CliCanvasOptions.h"
#include "cli/CliInterrupt.h"
#include "cli/CliReport.h"
#include "engine/Blend.h"
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "engine/SameFile.h"
#include "engine/StillFile.h"

int RunStillCommand(const CliArgs& parsed, const CliReport& report)
{
    const auto nRatio = parsed.Whole("ratio");
    if (!nRatio)
        return report.Usage(nRatio.Error().m_strMessage);
    CliCanvasOptions options;
    if (auto read = ReadCanvasOptions(parsed, options); !read)
        return report.Usage(read.Error().m_strMessage);
    const std::string& strOutput = parsed.m_positional[2];
    // A name that asks for a format no still is written in is refused
    // before any work.
    if (auto named = CheckStillFileName(strOutput); !named)
        return report.Fail(named.Error().m_strMessage);

    // The same steps as the wizard's still render: load the first picture,
    // then the second, compute the canvas, scale, blend every row, save.
    auto first = LoadPictureFile(parsed.m_positional[0]);
    if (!first)
        return report.Fail(first.Error().m_strMessage);
    auto second = LoadPictureFile(parsed.m_positional[1]);
    if (!second)
        return report.Fail(second.Error().m_strMessage);
    // Unlike any other existing file, a source is never replaced.
    if (auto checked = CheckOutputIsNotASource(strOutput, parsed.m_positional[0], parsed.m_positional[1]); !checked)
        return report.Fail(checked.Error().m_strMessage);

    const PictureSize sizes[] = {{first.Value().Width(), first.Value().Height()},
                                 {second.Value().Width(), second.Value().Height()}};
    const auto canvas = ComputeCliCanvas(options, sizes, report);
    if (!canvas)
        return report.Fail(canvas.Error().m_strMessage);
    auto output = PixelBuffer::Allocate(canvas.Value());
    if (!output)
        return report.Fail(output.Error().m_strMessage);
    auto firstBuffer = PixelBuffer::Allocate(canvas.Value());
    if (!firstBuffer)
        return report.Fail(firstBuffer.Error().m_strMessage);
    auto secondBuffer = PixelBuffer::Allocate(canvas.Value());
    if (!secondBuffer)
        return report.Fail(secondBuffer.Error().m_strMessage);

    if (auto scaled = ScaleToCanvas(first.Value(), second.Value(), canvas.Value(), firstBuffer.Value(),
                                    secondBuffer.Value(), options.m_fit);
        !scaled)
        return report.Fail(scaled.Error().m_strMessage);

    const double w = StillWeight(nRatio.Value());
    CliProgressBar bar = report.Progress(canvas.Value().Height(), "rows");
    for (std::int32_t r = 0; r < canvas.Value().Height(); ++r) {
        BlendRow(firstBuffer.Value(), secondBuffer.Value(), output.Value(), canvas.Value(), r, w);
        bar.Update(r + 1);
        if (CliInterrupted()) {
            bar.Finish();
            return report.Interrupted(strOutput);
        }
    }
    bar.Finish();

    if (auto saved = SaveStillFile(strOutput, output.Value(), canvas.Value()); !saved)
        return report.Fail(saved.Error().m_strMessage);
    return kExitOk;
}
