#include "cli/AnimCommand.h"

// Local
#include "cli/CliArgs.h"
#include "cli/CliInterrupt.h"
#include "cli/CliProgressBar.h"
#include "engine/Blend.h"
#include "engine/Canvas.h"
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "engine/SameFile.h"
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "video/CAviWriter.h"

namespace {

constexpr const char* kUsage =
    "usage: plavex-cli anim FIRST SECOND OUTPUT [--frames N] [--fps F] [--size WxH] [--codec raw|mjpeg]\n"
    "                       [--quality Q] [--quiet]\n"
    "  N frames (default 100) dissolve FIRST into SECOND at F frames per second (default 25).\n"
    "  --size sets a custom canvas (default: automatic). --codec mjpeg (default, quality Q 1..100,\n"
    "  default 90) or raw full frames. \".avi\" is appended to OUTPUT unless it contains \"avi\".";

constexpr std::int32_t kMaxSetting = 1000000;

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
        else
            return "--codec must be raw or mjpeg";
    }
    std::int32_t nQuality = kMjpegDefaultQuality;
    if (!number("quality", 1, 100, nQuality))
        return "--quality must be a whole number from 1 to 100";
    if (parsed.Has("quality") && s.codec.fccHandler != comptypeMJPG)
        return "--quality applies to --codec mjpeg only";
    s.codec.dwQuality = static_cast<DWORD>(nQuality);
    return {};
}

} // namespace

int RunAnimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const CliArgs parsed = ParseCliArgs(args, {{"frames", "fps", "size", "codec", "quality"}, {"help", "quiet"}});
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

    auto output = PixelBuffer::Allocate(canvas);
    if (!output)
        return Fail(err, output.Error().m_strMessage);
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
    const double dStep = FrameStep(settings.nFrames);
    for (std::int32_t k = 0; k < settings.nFrames; ++k) {
        const double w = FrameWeight(dStep, k);
        for (std::int32_t r = 0; r < canvas.Height(); ++r)
            BlendRow(firstBuffer.Value(), secondBuffer.Value(), output.Value(), canvas, r, w);
        // A lost frame spoils the file, so the run stops at the first one.
        if (writer.AddFrame(output.Value().Data()) != 0)
            break;
        bar.Update(k + 1);
        if (CliInterrupted()) {
            bar.Finish();
            writer.Abandon();
            writer.ReleaseEngine();
            err << "plavex-cli anim: interrupted; '" << writer.m_strFileName << "' was not written\n";
            return CliInterruptedStatus();
        }
    }
    bar.Finish();
    writer.ReleaseEngine();
    if (!writer.IsCommitted())
        return Fail(err, "cannot write '" + writer.m_strFileName + "': " + writer.RunErrorText());
    return kExitOk;
}
