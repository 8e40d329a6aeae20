#include "cli/AnimCommand.h"

// Local
#include "cli/CliArgs.h"
#include "cli/CliInterrupt.h"
#include "cli/CliProgressBar.h"
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "engine/SameFile.h"
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "video/CAviWriter.h"
#include "video/DissolveWriter.h"

namespace {

constexpr const char* kUsage =
    "usage: plavex-cli anim FIRST SECOND OUTPUT [--frames N] [--fps F] [--size WxH]\n"
    "                       [--codec raw|mjpeg|h264|ffv1] [--quality Q] [--threads T] [--quiet]\n"
    "  N frames (default 100) dissolve FIRST into SECOND at F frames per second (default 25).\n"
    "  --size sets a custom canvas (default: automatic). --codec mjpeg (default) or h264 at quality\n"
    "  Q 1..100 (default 90), ffv1 lossless or raw full frames. T threads make the frames (default:\n"
    "  one per core). \".avi\" is appended to OUTPUT unless it contains \"avi\".";

constexpr std::int32_t kMaxSetting = 1000000;
constexpr std::int32_t kMaxThreads = 256;

int Usage(std::ostream& err, const std::string& strWhy)
{
    err << "plavex-cli anim: " << strWhy << "\n" << kUsage << "\n";
    return kExitUsage;
}

int Fail(std::ostream& err, const std::string& strWhy)
{
    err << "plavex-cli anim: " << strWhy << "\n";
    return kExitFailure;
}

struct AnimSettings {
    std::int32_t nFrames = 100;
    std::int32_t nFps = 25;
    std::int32_t nSizeMode = kSizeModeAutomatic;
    CliSize size;
    CFixedCompressionChooser::Options codec;
    std::int32_t nThreads = FramePipeline::DefaultWorkers();
};

// Reads the options; gives an empty text or why they are wrong.
std::string ReadSettings(const CliArgs& parsed, AnimSettings& s)
{
    const auto number = [&parsed](const char* szName, std::int32_t nMin, std::int32_t nMax,
                                  std::int32_t& nValue) -> bool {
        if (!parsed.Has(szName))
            return true;
        const auto value = ParseInt32(parsed.m_options.at(szName), nMin, nMax);
        if (value)
            nValue = *value;
        return value.has_value();
    };
    if (!number("frames", 1, kMaxSetting, s.nFrames))
        return "--frames must be a whole number from 1 to 1000000";
    if (!number("fps", 1, kMaxSetting, s.nFps))
        return "--fps must be a whole number from 1 to 1000000";
    if (parsed.Has("size")) {
        const auto value = ParseSize(parsed.m_options.at("size"));
        if (!value || value->m_nWidth < 1 || value->m_nWidth > kMaxSetting || value->m_nHeight < 1 ||
            value->m_nHeight > kMaxSetting)
            return "--size must be WIDTHxHEIGHT, each from 1 to 1000000";
        s.nSizeMode = kSizeModeCustom;
        s.size = *value;
    }
    if (parsed.Has("codec")) {
        const std::string& strCodec = parsed.m_options.at("codec");
        if (strCodec == "raw")
            s.codec.fccHandler = comptypeDIB;
        else if (strCodec == "mjpeg")
            s.codec.fccHandler = comptypeMJPG;
        else if (strCodec == "h264")
            s.codec.fccHandler = comptypeH264;
        else if (strCodec == "ffv1")
            s.codec.fccHandler = comptypeFFV1;
        else
            return "--codec must be raw, mjpeg, h264 or ffv1";
    }
    std::int32_t nQuality = kMjpegDefaultQuality;
    if (!number("quality", 1, 100, nQuality))
        return "--quality must be a whole number from 1 to 100";
    if (parsed.Has("quality") && s.codec.fccHandler != comptypeMJPG && s.codec.fccHandler != comptypeH264)
        return "--quality applies to --codec mjpeg and h264 only";
    s.codec.dwQuality = static_cast<DWORD>(nQuality);
    if (!number("threads", 1, kMaxThreads, s.nThreads))
        return "--threads must be a whole number from 1 to 256";
    return {};
}

} // namespace

int RunAnimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const CliArgs parsed =
        ParseCliArgs(args, {{"frames", "fps", "size", "codec", "quality", "threads"}, {"help", "quiet"}});
    if (!parsed.m_strError.empty())
        return Usage(err, parsed.m_strError);
    if (parsed.Has("help")) {
        out << kUsage << "\n";
        return kExitOk;
    }
    if (parsed.m_positional.size() != 3)
        return Usage(err, "expected FIRST, SECOND and OUTPUT");
    AnimSettings settings;
    if (const std::string strWhy = ReadSettings(parsed, settings); !strWhy.empty())
        return Usage(err, strWhy);

    if (parsed.m_positional[2].empty())
        return Fail(err, "cannot write '': no file name");

    // The same steps as the wizard's animation render, with the compressor
    // chosen by the flags instead of the dialog.
    auto first = LoadPictureFile(parsed.m_positional[0]);
    if (!first)
        return Fail(err, first.Error().m_strMessage);
    auto second = LoadPictureFile(parsed.m_positional[1]);
    if (!second)
        return Fail(err, second.Error().m_strMessage);

    const auto canvasResult =
        ComputeCanvas(settings.nSizeMode, settings.size.m_nWidth, settings.size.m_nHeight, first.Value().Width(),
                      first.Value().Height(), second.Value().Width(), second.Value().Height());
    if (!canvasResult)
        return Fail(err, canvasResult.Error().m_strMessage);
    const Canvas& canvas = canvasResult.Value();

    auto firstBuffer = PixelBuffer::Allocate(canvas);
    if (!firstBuffer)
        return Fail(err, firstBuffer.Error().m_strMessage);
    auto secondBuffer = PixelBuffer::Allocate(canvas);
    if (!secondBuffer)
        return Fail(err, secondBuffer.Error().m_strMessage);

    CFixedCompressionChooser chooser(settings.codec);
    CCompressionChooserGuard guard(&chooser);
    CAviWriter writer;
    writer.SetBitmapHeader(canvas.Header());
    writer.m_strFileName = parsed.m_positional[2];
    writer.EnsureAviExtension();
    writer.m_nRate = settings.nFps;
    // The name checked is the one the writer will create; a source is never replaced.
    if (auto checked = CheckOutputIsNotASource(writer.m_strFileName, parsed.m_positional[0], parsed.m_positional[1]);
        !checked)
        return Fail(err, checked.Error().m_strMessage);
    if (writer.InitEngine(nullptr) != 0) {
        writer.ReleaseEngine();
        return Fail(err, "cannot write '" + writer.m_strFileName + "': " + writer.m_strError);
    }

    if (auto scaled = ScaleToCanvas(first.Value(), second.Value(), canvas, firstBuffer.Value(), secondBuffer.Value());
        !scaled) {
        writer.Abandon();
        writer.ReleaseEngine();
        return Fail(err, scaled.Error().m_strMessage);
    }

    CliProgressBar::Options progress;
    progress.m_bEnabled = !parsed.Has("quiet") && CliProgressBar::DrawsOn(err);
    CliProgressBar bar(err, settings.nFrames, progress);
    const FramePipeline::Result result = WriteDissolveFrames(
        writer, canvas, firstBuffer.Value(), secondBuffer.Value(), settings.nFrames, settings.nThreads,
        [&bar](std::int32_t nWritten) { bar.Update(nWritten); }, [] { return !CliInterrupted(); });
    if (result.m_nOutcome != FramePipeline::Outcome::Done) {
        // The workers have stopped; nothing of the run is kept.
        bar.Finish();
        writer.Abandon();
        writer.ReleaseEngine();
        if (result.m_nOutcome == FramePipeline::Outcome::Aborted) {
            err << "plavex-cli anim: interrupted; '" << writer.m_strFileName << "' was not written\n";
            return CliInterruptedStatus();
        }
        const std::string strWhy = writer.RunErrorText();
        return Fail(err, "cannot write '" + writer.m_strFileName + "': " +
                             (strWhy.empty() ? result.m_strError : strWhy));
    }
    bar.Finish();
    writer.ReleaseEngine();
    if (!writer.IsCommitted())
        return Fail(err, "cannot write '" + writer.m_strFileName + "': " + writer.RunErrorText());
    return kExitOk;
}
