#include "cli/AnimCommand.h"

// Local
#include "cli/CliArgs.h"
#include "cli/CliFitOptions.h"
#include "cli/CliVideoOutput.h"
#include "cli/CliInterrupt.h"
#include "cli/CliProgressBar.h"
#include "cli/CliReport.h"
#include "cli/CliVideoSettings.h"
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "video/DissolveWriter.h"

namespace {

constexpr const char* kUsage =
    "usage: plavex-cli anim FIRST SECOND OUTPUT [--frames N] [--fps F] [--size WxH]\n"
    "                       [--fit stretch|contain|cover] [--background RRGGBB]\n"
    "                       [--codec raw|mjpeg|h264|ffv1] [--quality Q] [--threads T] [--quiet]\n"
    "  N frames (default 100) dissolve FIRST into SECOND at F frames per second (default 25).\n"
    "  --size sets a custom canvas (default: automatic). --fit places each picture on it: stretched\n"
    "  (default), whole with bars of the --background colour (default 000000), or cropped to cover it.\n"
    "  --codec mjpeg (default) or h264 at quality Q 1..100 (default 90), ffv1 lossless or raw full\n"
    "  frames. T threads make the frames (default: one per core). An OUTPUT ending in \".mp4\" is\n"
    "  written as MP4 with h264 (its default and only codec); \".avi\" is appended to any other\n"
    "  OUTPUT unless it contains \"avi\".";

} // namespace

int RunAnimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const CliReport report(err, "anim", kUsage);
    const auto parsing =
        ParseCliArgs(args, {{"frames", "fps", "size", "fit", "background", "codec", "quality", "threads"},
                            {"help", "quiet"}});
    if (!parsing)
        return report.Usage(parsing.Error().m_strMessage);
    const CliArgs& parsed = parsing.Value();
    if (parsed.Has("help")) {
        out << kUsage << "\n";
        return kExitOk;
    }
    if (parsed.m_positional.size() != 3)
        return report.Usage("expected FIRST, SECOND and OUTPUT");
    std::int32_t nFrames = 100;
    if (!ReadIntOption(parsed, "frames", 1, kMaxCliSetting, nFrames))
        return report.Usage("--frames must be a whole number from 1 to 1000000");
    CliVideoSettings settings;
    if (auto read = ReadVideoSettings(parsed, parsed.m_positional[2], settings); !read)
        return report.Usage(read.Error().m_strMessage);
    FitOptions fit;
    if (const std::string strWhy = ReadFitOptions(parsed, fit); !strWhy.empty())
        return report.Usage(strWhy);

    if (parsed.m_positional[2].empty())
        return report.Fail("cannot write '': no file name");

    // The same steps as the wizard's animation render, with the compressor
    // chosen by the flags instead of the dialog.
    auto first = LoadPictureFile(parsed.m_positional[0]);
    if (!first)
        return report.Fail(first.Error().m_strMessage);
    auto second = LoadPictureFile(parsed.m_positional[1]);
    if (!second)
        return report.Fail(second.Error().m_strMessage);

    const auto canvasResult = ComputeCanvas(settings.m_nSizeMode, settings.m_size.m_nWidth,
                                            settings.m_size.m_nHeight, first.Value().Width(),
                                            first.Value().Height(), second.Value().Width(), second.Value().Height());
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
    if (auto opened = video.Open(canvas, parsed.m_positional[2], sources); !opened)
        return report.Fail(opened.Error().m_strMessage);

    if (auto scaled =
            ScaleToCanvas(first.Value(), second.Value(), canvas, firstBuffer.Value(), secondBuffer.Value(), fit);
        !scaled) {
        video.Abandon();
        return report.Fail(scaled.Error().m_strMessage);
    }

    CliProgressBar::Options progress;
    progress.m_bEnabled = !parsed.Has("quiet") && CliProgressBar::DrawsOn(err);
    CliProgressBar bar(err, nFrames, progress);
    const FramePipeline::Result result = WriteDissolveFrames(
        video.Writer(), firstBuffer.Value(), secondBuffer.Value(), nFrames, settings.m_nThreads,
        [&bar](std::int32_t nWritten) { bar.Update(nWritten); }, [] { return !CliInterrupted(); });
    bar.Finish();
    return video.Finish(result, report);
}
