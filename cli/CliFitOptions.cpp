#include "cli/CliFitOptions.h"

#include <algorithm>
#include <cctype>
#include <charconv>

std::string ReadFitOptions(const CliArgs& parsed, FitOptions& fit)
{
    if (parsed.Has("fit")) {
        const std::string& strFit = parsed.m_options.at("fit");
        if (strFit == "stretch")
            fit.m_nFit = PictureFit::Stretch;
        else if (strFit == "contain")
            fit.m_nFit = PictureFit::Contain;
        else if (strFit == "cover")
            fit.m_nFit = PictureFit::Cover;
        else
            return "--fit must be stretch, contain or cover";
    }
    if (parsed.Has("background")) {
        // Exactly six hexadecimal digits; from_chars alone would take a sign
        // or stop early without a word.
        const std::string& strColour = parsed.m_options.at("background");
        if (strColour.size() != 6 ||
            !std::all_of(strColour.begin(), strColour.end(), [](unsigned char c) { return std::isxdigit(c); }))
            return "--background must be RRGGBB, six hexadecimal digits";
        std::from_chars(strColour.data(), strColour.data() + strColour.size(), fit.m_nBackground, 16);
    }
    return {};
}
