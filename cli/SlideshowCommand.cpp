#include "cli/SlideshowCommand.h"

#include <algorithm>
#include <cstdint>
#include <limits>

// Local
#include "cli/CliArgs.h"
#include "cli/CliFitOptions.h"
#include "cli/CliVideoOutput.h"
#include "cli/CliInterrupt.h"
#include "cli/CliProgressBar.h"
#include "cli/CliReport.h"
#include "cli/CliVideoSettings.h"
#include "engine/Canvas.h"
#include "engine/PictureLoader.h"
#include "engine/SlideshowPlan.h"
#include "engine/SlideshowPictures.h"
#include "video/SlideshowWriter.h"

namespace {

constexpr const char* kUsage =
    "usage: plavex-cli slideshow PICTURE... OUTPUT [--hold S] [--fade S] [--fps F] [--size WxH]\n"
    "                            [--fit stretch|contain|cover] [--background RRGGBB]\n"
    "                            [--codec raw|mjpeg|h264|ffv1] [--quality Q] [--threads T] [--quiet]\n"
    "  Shows two or more PICTUREs in the order given, each for S seconds (--hold, default 2),\n"
    "  dissolving each into the next over S seconds (--fade, default 1; at least 2 frames),\n"
    "  at F frames per second (default 25). Seconds may have up to six decimals.\n"
    "  --size sets a custom canvas (default: the mean size of all the pictures). --fit (default\n"
    "  contain), --background, --codec, --quality, --threads and the MP4 or AVI OUTPUT as for anim;\n"
    "  in MP4 a held picture is one sample lasting the whole hold.";

// The longest hold or fade, in seconds.
constexpr std::int32_t kMaxSeconds = 1000000;
constexpr std::int64_t kMaxFrames = std::numeric_limits<std::int32_t>::max();

// round(seconds × fps), halves rounded up, in exact integers.
std::int64_t FramesForSeconds(std::int64_t nMicroseconds, std::int32_t nFps)
{
    return (nMicroseconds * nFps * 2 + 1000000) / 2000000;
}

// Reads --hold or --fade into a frame count; false when the text is no time.
bool ReadDuration(const CliArgs& parsed, const char* szName, std::int32_t nFps, std::int64_t& nFrames)
{
    if (!parsed.Has(szName))
        return true;
    const auto microseconds = ParseMicroseconds(parsed.m_options.at(szName), kMaxSeconds);
    if (microseconds)
        nFrames = FramesForSeconds(*microseconds, nFps);
    return microseconds.has_value();
}

} // namespace

int RunSlideshowCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const CliReport report(err, "slideshow", kUsage);
    const auto parsing =
        ParseCliArgs(args, {{"hold", "fade", "fps", "size", "fit", "background", "codec", "quality", "threads"},
                            {"help", "quiet"}});
    if (!parsing)
        return report.Usage(parsing.Error().m_strMessage);
    const CliArgs& parsed = parsing.Value();
    if (parsed.Has("help")) {
        out << kUsage << "\n";
        return kExitOk;
    }
    if (parsed.m_positional.size() < 3)
        return report.Usage("expected two or more PICTUREs and OUTPUT");
    CliVideoSettings settings;
    if (auto read = ReadVideoSettings(parsed, parsed.m_positional.back(), settings); !read)
        return report.Usage(read.Error().m_strMessage);
    // Photos of mixed shapes keep theirs unless asked otherwise.
    FitOptions fit{PictureFit::Contain};
    if (const std::string strWhy = ReadFitOptions(parsed, fit); !strWhy.empty())
        return report.Usage(strWhy);
    std::int64_t nHold = FramesForSeconds(2000000, settings.m_nFps);
    std::int64_t nFade = FramesForSeconds(1000000, settings.m_nFps);
    if (!ReadDuration(parsed, "hold", settings.m_nFps, nHold))
        return report.Usage("--hold must be a number of seconds from 0 to 1000000");
    if (!ReadDuration(parsed, "fade", settings.m_nFps, nFade))
        return report.Usage("--fade must be a number of seconds from 0 to 1000000");
    nFade = std::max<std::int64_t>(nFade, 2);

    const std::vector<std::string> pictures(parsed.m_positional.begin(), parsed.m_positional.end() - 1);
    const std::string& strOutput = parsed.m_positional.back();
    const auto nPictures = static_cast<std::int32_t>(std::min<std::size_t>(pictures.size(), kMaxFrames));
    const std::string strTooLong = "the slideshow would have more than " + std::to_string(kMaxFrames) + " frames";
    if (nHold > kMaxFrames || nFade > kMaxFrames)
        return report.Usage(strTooLong);
    const SlideshowPlan plan(nPictures, static_cast<std::int32_t>(nHold), static_cast<std::int32_t>(nFade));
    const std::int64_t nFrames = plan.FrameCount();
    if (nFrames > kMaxFrames)
        return report.Usage(strTooLong);

    // Every picture is measured first, without decoding it: the automatic
    // canvas needs all the sizes, and a missing or foreign file stops the run
    // before any work is done on the others.
    std::vector<PictureSize> sizes;
    sizes.reserve(pictures.size());
    for (const std::string& strPicture : pictures) {
        auto size = MeasurePictureFile(strPicture);
        if (!size)
            return report.Fail(size.Error().m_strMessage);
        sizes.push_back(size.Value());
    }
    const auto canvasResult =
        ComputeCanvas(settings.m_nSizeMode, settings.m_size.m_nWidth, settings.m_size.m_nHeight, sizes);
    if (!canvasResult)
        return report.Fail(canvasResult.Error().m_strMessage);
    const Canvas& canvas = canvasResult.Value();

    SlideshowPictures shown(pictures, canvas, fit);
    if (auto allocated = shown.Allocate(); !allocated)
        return report.Fail(allocated.Error().m_strMessage);

    CliVideoOutput video(settings);
    if (auto opened = video.Open(canvas, strOutput, pictures); !opened)
        return report.Fail(opened.Error().m_strMessage);

    CliProgressBar::Options progress;
    progress.m_bEnabled = !parsed.Has("quiet") && CliProgressBar::DrawsOn(err);
    CliProgressBar bar(err, nFrames, progress);
    SlideshowWriter frames(video.Writer(), plan, settings.m_nThreads);
    FramePipeline::Result result;
    for (std::int32_t i = 0; i < plan.Pictures() && result.m_nOutcome == FramePipeline::Outcome::Done; ++i) {
        // The picture is loaded before any frame that shows it.
        if (auto loaded = shown.Load(i); !loaded) {
            bar.Finish();
            video.Abandon();
            return report.Fail(loaded.Error().m_strMessage);
        }
        const std::string strNote = "picture " + std::to_string(i + 1) + "/" + std::to_string(plan.Pictures());
        result = frames.WriteTurn(
            shown, i, [&](std::int64_t nWritten) { bar.Update(nWritten, strNote); },
            [] { return !CliInterrupted(); });
    }
    bar.Finish();
    return video.Finish(result, report);
}
