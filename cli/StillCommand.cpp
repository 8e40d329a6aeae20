#include "cli/StillCommand.h"

// Local
#include "cli/CliArgs.h"
#include "cli/CliFitOptions.h"
#include "cli/CliInterrupt.h"
#include "cli/CliProgressBar.h"
#include "engine/Blend.h"
#include "engine/Canvas.h"
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"
#include "engine/PixelBuffer.h"
#include "engine/SameFile.h"
#include "engine/StillFile.h"

namespace {

constexpr const char* kUsage =
    "usage: plavex-cli still FIRST SECOND OUTPUT [--ratio P] [--size WxH] [--fit stretch|contain|cover]\n"
    "                        [--background RRGGBB] [--quiet]";

int Usage(std::ostream& err, const std::string& strWhy)
{
    err << "plavex-cli still: " << strWhy << "\n" << kUsage << "\n";
    return kExitUsage;
}

int Fail(std::ostream& err, const EngineError& error)
{
    err << "plavex-cli still: " << error.m_strMessage << "\n";
    return kExitFailure;
}

} // namespace

int RunStillCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto parsing = ParseCliArgs(args, {{"ratio", "size", "fit", "background"}, {"help", "quiet"}});
    if (!parsing)
        return Usage(err, parsing.Error().m_strMessage);
    const CliArgs& parsed = parsing.Value();
    if (parsed.Has("help")) {
        out << kUsage << "\n";
        return kExitOk;
    }
    if (parsed.m_positional.size() != 3)
        return Usage(err, "expected FIRST, SECOND and OUTPUT");

    std::int32_t nRatio = 50;
    if (parsed.Has("ratio")) {
        const auto nValue = ParseInt32(parsed.m_options.at("ratio"), 0, 100);
        if (!nValue)
            return Usage(err, "--ratio must be a whole number from 0 to 100");
        nRatio = *nValue;
    }
    std::int32_t nSizeMode = kSizeModeAutomatic;
    CliSize size;
    if (parsed.Has("size")) {
        const auto value = ParseSize(parsed.m_options.at("size"));
        if (!value)
            return Usage(err, "--size must be WIDTHxHEIGHT in whole pixels");
        nSizeMode = kSizeModeCustom;
        size = *value;
    }
    FitOptions fit;
    if (const std::string strWhy = ReadFitOptions(parsed, fit); !strWhy.empty())
        return Usage(err, strWhy);
    // A name that asks for a format no still is written in is refused
    // before any work.
    if (auto named = CheckStillFileName(parsed.m_positional[2]); !named)
        return Fail(err, named.Error());

    // The same steps as the wizard's still render: load the first picture,
    // then the second, compute the canvas, scale, blend every row, save.
    auto first = LoadPictureFile(parsed.m_positional[0]);
    if (!first)
        return Fail(err, first.Error());
    auto second = LoadPictureFile(parsed.m_positional[1]);
    if (!second)
        return Fail(err, second.Error());
    // Unlike any other existing file, a source is never replaced.
    if (auto checked = CheckOutputIsNotASource(parsed.m_positional[2], parsed.m_positional[0], parsed.m_positional[1]);
        !checked)
        return Fail(err, checked.Error());

    const auto canvas = ComputeCanvas(nSizeMode, size.m_nWidth, size.m_nHeight, first.Value().Width(),
                                      first.Value().Height(), second.Value().Width(), second.Value().Height());
    if (!canvas)
        return Fail(err, canvas.Error());

    auto output = PixelBuffer::Allocate(canvas.Value());
    if (!output)
        return Fail(err, output.Error());
    auto firstBuffer = PixelBuffer::Allocate(canvas.Value());
    if (!firstBuffer)
        return Fail(err, firstBuffer.Error());
    auto secondBuffer = PixelBuffer::Allocate(canvas.Value());
    if (!secondBuffer)
        return Fail(err, secondBuffer.Error());

    if (auto scaled = ScaleToCanvas(first.Value(), second.Value(), canvas.Value(), firstBuffer.Value(),
                                    secondBuffer.Value(), fit);
        !scaled)
        return Fail(err, scaled.Error());

    const double w = StillWeight(nRatio);
    CliProgressBar::Options progress;
    progress.m_bEnabled = !parsed.Has("quiet") && CliProgressBar::DrawsOn(err);
    progress.m_strUnit = "rows";
    CliProgressBar bar(err, canvas.Value().Height(), progress);
    for (std::int32_t r = 0; r < canvas.Value().Height(); ++r) {
        BlendRow(firstBuffer.Value(), secondBuffer.Value(), output.Value(), canvas.Value(), r, w);
        bar.Update(r + 1);
        if (CliInterrupted()) {
            bar.Finish();
            err << "plavex-cli still: interrupted; '" << parsed.m_positional[2] << "' was not written\n";
            return CliInterruptedStatus();
        }
    }
    bar.Finish();

    if (auto saved = SaveStillFile(parsed.m_positional[2], output.Value(), canvas.Value()); !saved)
        return Fail(err, saved.Error());
    return kExitOk;
}
