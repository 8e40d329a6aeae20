#include "cli/SlideshowCommand.h"

#include <algorithm>
#include <cstdint>
#include <limits>

// Local
#include "cli/CliArgs.h"
#include "cli/CliCanvasOptions.h"
#include "cli/CliInterrupt.h"
#include "cli/CliReport.h"
#include "cli/CliVideoOutput.h"
#include "cli/CliVideoSettings.h"
#include "engine/PictureLoader.h"
#include "engine/SlideshowPlan.h"
#include "engine/SlideshowPictures.h"
#include "video/SlideshowWriter.h"

namespace {

// The longest hold or fade, in seconds.
constexpr std::int32_t kMaxSeconds = 1000000;
constexpr std::int64_t kMaxFrames = std::numeric_limits<std::int32_t>::max();

// round(seconds × rate / scale), halves rounded up, in exact integers: 128
// bits hold a million seconds times any rate's terms.
std::int64_t FramesForSeconds(std::int64_t nMicroseconds, const CliRate& rate)
{
    const __int128 nPerFrame = __int128{rate.m_nScale} * 1000000;
    return static_cast<std::int64_t>((__int128{nMicroseconds} * rate.m_nRate * 2 + nPerFrame) / (2 * nPerFrame));
}

// Reads --hold or --fade, or its default, into a frame count; false when the text is no time.
bool ReadDuration(const CliArgs& parsed, const char* szName, const CliRate& rate, std::int64_t& nFrames)
{
    const auto microseconds = ParseMicroseconds(parsed.Text(szName), kMaxSeconds);
    if (microseconds)
        nFrames = FramesForSeconds(*microseconds, rate);
    return microseconds.has_value();
}

} // namespace

int RunSlideshowCommand(const CliArgs& parsed, const CliReport& report)
{
    CliVideoSettings settings;
    if (auto read = ReadVideoSettings(parsed, parsed.m_positional.back(), settings); !read)
        return report.Usage(read.Error().m_strMessage);
    CliCanvasOptions options;
    if (auto read = ReadCanvasOptions(parsed, options); !read)
        return report.Usage(read.Error().m_strMessage);
    std::int64_t nHold = 0, nFade = 0;
    if (!ReadDuration(parsed, "hold", settings.m_rate, nHold))
        return report.Usage("--hold must be a number of seconds from 0 to 1000000");
    if (!ReadDuration(parsed, "fade", settings.m_rate, nFade))
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
    const auto canvasResult = ComputeCliCanvas(options, sizes, report);
    if (!canvasResult)
        return report.Fail(canvasResult.Error().m_strMessage);
    const Canvas& canvas = canvasResult.Value();

    SlideshowPictures shown(pictures, canvas, options.m_fit);
    if (auto allocated = shown.Allocate(); !allocated)
        return report.Fail(allocated.Error().m_strMessage);

    CliVideoOutput video(settings);
    if (auto opened = video.Open(canvas, strOutput, pictures); !opened)
        return report.Fail(opened.Error().m_strMessage);

    CliProgressBar bar = report.Progress(nFrames);
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
