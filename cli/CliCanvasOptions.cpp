#include "cli/CliCanvasOptions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

// Local
#include "cli/CliReport.h"

namespace {

constexpr std::array kFits{std::pair("stretch", PictureFit::Stretch), std::pair("contain", PictureFit::Contain),
                           std::pair("cover", PictureFit::Cover)};

std::string SizeText(std::int64_t nWidth, std::int64_t nHeight)
{
    return std::to_string(nWidth) + "x" + std::to_string(nHeight);
}

} // namespace

std::vector<std::string> FitNames()
{
    std::vector<std::string> names;
    for (const auto& [pszName, nFit] : kFits)
        names.emplace_back(pszName);
    return names;
}

EngineResult<void> ReadCanvasOptions(const CliArgs& parsed, CliCanvasOptions& options)
{
    if (parsed.Has("size")) {
        const auto value = ParseSize(parsed.m_options.at("size"));
        if (!value || value->m_nWidth < 1 || value->m_nWidth > 1000000 || value->m_nHeight < 1 ||
            value->m_nHeight > 1000000)
            return BadArgument("--size must be WIDTHxHEIGHT, each from 1 to 1000000");
        options.m_nSizeMode = kSizeModeCustom;
        options.m_size = *value;
    }
    const std::string strFit = parsed.Text("fit");
    const auto fit = std::find_if(kFits.begin(), kFits.end(), [&](const auto& row) { return strFit == row.first; });
    if (fit == kFits.end())
        return BadArgument("--fit must be stretch, contain or cover");
    options.m_fit.m_nFit = fit->second;
    // Exactly six hexadecimal digits; from_chars alone would take a sign or
    // stop early without a word.
    const std::string strColour = parsed.Text("background");
    if (strColour.size() != 6 ||
        !std::all_of(strColour.begin(), strColour.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return BadArgument("--background must be RRGGBB, six hexadecimal digits");
    std::from_chars(strColour.data(), strColour.data() + strColour.size(), options.m_fit.m_nBackground, 16);
    return {};
}

EngineResult<Canvas> ComputeCliCanvas(const CliCanvasOptions& options, std::span<const PictureSize> pictures,
                                      const CliReport& report)
{
    const CliSize& size = options.m_size;
    auto canvas = ComputeCanvas(options.m_nSizeMode, size.m_nWidth, size.m_nHeight, pictures);
    if (canvas && options.m_nSizeMode == kSizeModeCustom &&
        (canvas.Value().Width() != size.m_nWidth || canvas.Value().Height() != size.m_nHeight))
        report.Note("--size " + SizeText(size.m_nWidth, size.m_nHeight) + " is not a multiple of 4; using " +
                    SizeText(canvas.Value().Width(), canvas.Value().Height()));
    return canvas;
}
