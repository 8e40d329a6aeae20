#include "cli/CliArgs.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

namespace {

bool Contains(std::initializer_list<std::string_view> names, std::string_view strName)
{
    return std::find(names.begin(), names.end(), strName) != names.end();
}

EngineError BadArgument(std::string strWhy) { return {EngineErrorCode::BadArgument, std::move(strWhy)}; }

} // namespace

EngineResult<CliArgs> ParseCliArgs(const std::vector<std::string>& args, const CliOptionTable& options)
{
    CliArgs result;
    bool bOptionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& strArg = args[i];
        if (bOptionsEnded || strArg.size() < 2 || strArg[0] != '-') {
            result.m_positional.push_back(strArg);
            continue;
        }
        if (strArg == "--") {
            bOptionsEnded = true;
            continue;
        }
        if (strArg.compare(0, 2, "--") != 0)
            return BadArgument("unknown option '" + strArg + "'");

        std::string strName = strArg.substr(2);
        std::string strValue;
        bool bHasValue = false;
        if (const auto nEquals = strName.find('='); nEquals != std::string::npos) {
            strValue = strName.substr(nEquals + 1);
            strName.resize(nEquals);
            bHasValue = true;
        }

        if (Contains(options.m_valueOptions, strName)) {
            if (!bHasValue) {
                if (i + 1 >= args.size())
                    return BadArgument("option '--" + strName + "' needs a value");
                strValue = args[++i];
            }
        } else if (Contains(options.m_flagOptions, strName)) {
            if (bHasValue)
                return BadArgument("option '--" + strName + "' takes no value");
        } else {
            return BadArgument("unknown option '--" + strName + "'");
        }

        if (!result.m_options.emplace(strName, strValue).second)
            return BadArgument("option '--" + strName + "' given more than once");
    }
    return result;
}

std::optional<std::int32_t> ParseInt32(std::string_view strText, std::int32_t nMin, std::int32_t nMax)
{
    // from_chars takes a minus sign but not a plus sign.
    if (!strText.empty() && strText.front() == '+')
        strText.remove_prefix(1);
    if (strText.empty() || strText.front() == '+')
        return std::nullopt;
    std::int32_t nValue = 0;
    const char* pEnd = strText.data() + strText.size();
    const auto [pStop, nError] = std::from_chars(strText.data(), pEnd, nValue);
    if (nError != std::errc() || pStop != pEnd || nValue < nMin || nValue > nMax)
        return std::nullopt;
    return nValue;
}

std::optional<std::int64_t> ParseMicroseconds(std::string_view strText, std::int32_t nMaxSeconds)
{
    // Read as an exact decimal, so that 0.35 s at 30 fps is 10.5 frames, not a
    // binary fraction a little below it.
    const auto nPoint = strText.find('.');
    const std::string_view strWhole = strText.substr(0, nPoint);
    const std::string_view strFraction =
        nPoint == std::string_view::npos ? std::string_view() : strText.substr(nPoint + 1);
    const auto allDigits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (strWhole.size() + strFraction.size() == 0 || strFraction.size() > 6 || !allDigits(strWhole) ||
        !allDigits(strFraction) || (nPoint != std::string_view::npos && strFraction.empty()))
        return std::nullopt;
    std::int64_t nSeconds = 0;
    for (const char c : strWhole) {
        nSeconds = nSeconds * 10 + (c - '0');
        if (nSeconds > nMaxSeconds)
            return std::nullopt;
    }
    std::int64_t nMicro = 0;
    for (std::size_t i = 0; i < 6; ++i)
        nMicro = nMicro * 10 + (i < strFraction.size() ? strFraction[i] - '0' : 0);
    const std::int64_t nTotal = nSeconds * 1000000 + nMicro;
    if (nTotal > std::int64_t{nMaxSeconds} * 1000000)
        return std::nullopt;
    return nTotal;
}

std::optional<CliSize> ParseSize(std::string_view strText)
{
    const auto nCross = strText.find_first_of("xX");
    if (nCross == std::string_view::npos)
        return std::nullopt;
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const auto nWidth = ParseInt32(strText.substr(0, nCross), kMin, kMax);
    const auto nHeight = ParseInt32(strText.substr(nCross + 1), kMin, kMax);
    if (!nWidth || !nHeight)
        return std::nullopt;
    return CliSize{*nWidth, *nHeight};
}
