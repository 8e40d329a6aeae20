#include "cli/CliArgs.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <numeric>
#include <utility>

// Qt
#include <QCommandLineParser>
#include <QStringList>

namespace {

// Each argument goes to Qt's parser as Latin-1, one character per byte, and
// comes back the same way, so a name in any encoding keeps its bytes.
QString FromBytes(const std::string& str) { return QString::fromLatin1(str.data(), static_cast<qsizetype>(str.size())); }
std::string ToBytes(const QString& str) { return str.toLatin1().toStdString(); }

const CliOption& Row(std::span<const CliOption> table, std::string_view strName)
{
    return *std::find_if(table.begin(), table.end(), [strName](const CliOption& o) { return o.m_pszName == strName; });
}

bool AllDigits(std::string_view str)
{
    return std::all_of(str.begin(), str.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string CliArgs::Text(std::string_view strName) const
{
    const auto it = m_options.find(std::string(strName));
    return it != m_options.end() ? it->second : Row(m_table, strName).Default();
}

EngineResult<std::int32_t> CliArgs::Whole(std::string_view strName) const
{
    const CliOption& option = Row(m_table, strName);
    if (!Has(strName))
        return option.m_nDefault;
    if (const auto nValue = ParseInt32(m_options.at(std::string(strName)), option.m_nMin, option.m_nMax))
        return *nValue;
    return BadArgument("--" + std::string(strName) + " must be " + option.Values());
}

EngineResult<CliArgs> ParseCliArgs(const std::vector<std::string>& args, std::span<const CliOption> table)
{
    QCommandLineParser parser;
    for (const CliOption& option : table) {
        const QString strName = QString::fromLatin1(option.m_pszName);
        const QStringList names = strName == u"help" ? QStringList{QStringLiteral("h"), strName} : QStringList{strName};
        parser.addOption(option.IsFlag() ? QCommandLineOption(names)
                                         : QCommandLineOption(names, {}, QString::fromLatin1(option.m_pszValue)));
    }
    QStringList words{QStringLiteral("plavex-cli")};
    for (const std::string& strArg : args)
        words.append(FromBytes(strArg));
    if (!parser.parse(words)) {
        // Qt's sentence as one of the tool's lines: "unknown option 'x'".
        std::string strWhy = ToBytes(parser.errorText());
        if (!strWhy.empty() && strWhy.back() == '.')
            strWhy.pop_back();
        if (!strWhy.empty() && strWhy[0] >= 'A' && strWhy[0] <= 'Z')
            strWhy[0] = static_cast<char>(strWhy[0] - 'A' + 'a');
        return BadArgument(strWhy);
    }

    CliArgs parsed;
    parsed.m_table = table;
    for (const QString& strFound : parser.optionNames()) {
        const std::string strName = strFound == u"h" ? "help" : ToBytes(strFound);
        if (!parsed.m_options.emplace(strName, ToBytes(parser.value(strFound))).second)
            return BadArgument("option '--" + strName + "' given more than once");
    }
    for (const QString& strArg : parser.positionalArguments())
        parsed.m_positional.push_back(ToBytes(strArg));
    return parsed;
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
    if (strWhole.size() + strFraction.size() == 0 || strFraction.size() > 6 || !AllDigits(strWhole) ||
        !AllDigits(strFraction) || (nPoint != std::string_view::npos && strFraction.empty()))
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

std::optional<CliRate> ParseFrameRate(std::string_view strText)
{
    constexpr std::int64_t kMaxRate = 1000000;
    constexpr std::int32_t kMaxTerm = std::numeric_limits<std::int32_t>::max();
    std::int64_t nRate = 0, nScale = 1;
    const auto nSlash = strText.find('/'), nPoint = strText.find('.');
    if (nSlash != std::string_view::npos) {
        const auto nTop = ParseInt32(strText.substr(0, nSlash), 1, kMaxTerm);
        const auto nBottom = ParseInt32(strText.substr(nSlash + 1), 1, kMaxTerm);
        if (!nTop || !nBottom)
            return std::nullopt;
        nRate = *nTop;
        nScale = *nBottom;
    } else if (nPoint != std::string_view::npos) {
        const std::string_view strWhole = strText.substr(0, nPoint), strPlaces = strText.substr(nPoint + 1);
        if (strWhole.empty() || strWhole.size() > 7 || strPlaces.empty() || strPlaces.size() > 3 ||
            !AllDigits(strWhole) || !AllDigits(strPlaces))
            return std::nullopt;
        // The decimal is A / 10^k.
        std::int64_t nA = 0;
        for (const std::string_view strDigits : {strWhole, strPlaces})
            for (const char c : strDigits)
                nA = nA * 10 + (c - '0');
        nScale = strPlaces.size() == 1 ? 10 : strPlaces.size() == 2 ? 100 : 1000;
        nRate = nA;
        // N × 1000/1001 rounds to A / 10^k when 2 × |N × 1000 × 10^k − A × 1001| < 1001;
        // being odd, 1001 leaves no tie. Only the two whole numbers nearest
        // A × 1001 / (1000 × 10^k) can do so. A whole decimal is itself.
        if (nA % nScale != 0)
            for (std::int64_t n = nA * 1001 / (1000 * nScale); n <= nA * 1001 / (1000 * nScale) + 1; ++n)
                if (n >= 1 && 2 * std::abs(n * 1000 * nScale - nA * 1001) < 1001) {
                    nRate = n * 1000;
                    nScale = 1001;
                    break;
                }
    } else {
        const auto nWhole = ParseInt32(strText, 0, kMaxTerm);
        if (!nWhole)
            return std::nullopt;
        nRate = *nWhole;
    }
    const std::int64_t nCommon = std::gcd(nRate, nScale);
    nRate /= nCommon;
    nScale /= nCommon;
    if (nRate < nScale || nRate > kMaxRate * nScale || nRate > kMaxTerm)
        return std::nullopt;
    return CliRate{static_cast<std::int32_t>(nRate), static_cast<std::int32_t>(nScale)};
}
