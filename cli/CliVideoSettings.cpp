#include "cli/CliVideoSettings.h"

#include <string>
#include <utility>
#include <vector>

// Local
#include "video/VideoContainer.h"

namespace {

// The --codec names of the rows that pass, as "a, b or c".
template <class Pred>
std::string CodecNames(Pred pred, const char* pszLast)
{
    std::vector<std::string> names;
    for (const VideoCodec& codec : VideoCodecs())
        if (pred(codec))
            names.emplace_back(codec.m_pszName);
    std::string strNames;
    for (std::size_t i = 0; i < names.size(); ++i)
        strNames += (i == 0 ? "" : i + 1 == names.size() ? std::string(" ") + pszLast + " " : ", ") + names[i];
    return strNames;
}

EngineError BadArgument(std::string strWhy) { return {EngineErrorCode::BadArgument, std::move(strWhy)}; }

} // namespace

bool ReadIntOption(const CliArgs& parsed, const char* szName, std::int32_t nMin, std::int32_t nMax,
                   std::int32_t& nValue)
{
    if (!parsed.Has(szName))
        return true;
    const auto value = ParseInt32(parsed.m_options.at(szName), nMin, nMax);
    if (value)
        nValue = *value;
    return value.has_value();
}

EngineResult<void> ReadVideoSettings(const CliArgs& parsed, const std::string& strOutput, CliVideoSettings& s)
{
    if (!ReadIntOption(parsed, "fps", 1, kMaxCliSetting, s.m_nFps))
        return BadArgument("--fps must be a whole number from 1 to 1000000");
    if (parsed.Has("size")) {
        const auto value = ParseSize(parsed.m_options.at("size"));
        if (!value || value->m_nWidth < 1 || value->m_nWidth > kMaxCliSetting || value->m_nHeight < 1 ||
            value->m_nHeight > kMaxCliSetting)
            return BadArgument("--size must be WIDTHxHEIGHT, each from 1 to 1000000");
        s.m_nSizeMode = kSizeModeCustom;
        s.m_size = *value;
    }
    const bool bMp4 = ContainerOfName(strOutput) == VideoContainer::Mp4;
    const auto inMp4 = [](const VideoCodec& codec) { return codec.m_bGoesInMp4; };
    if (bMp4)
        s.m_pCodec = CodecsOf(VideoContainer::Mp4).front();
    if (parsed.Has("codec")) {
        s.m_pCodec = FindVideoCodec(parsed.m_options.at("codec"));
        if (!s.m_pCodec)
            return BadArgument("--codec must be " + CodecNames([](const VideoCodec&) { return true; }, "or"));
        if (bMp4 && !inMp4(*s.m_pCodec))
            return BadArgument("an MP4 file takes --codec " + CodecNames(inMp4, "or") + " only");
    }
    if (!ReadIntOption(parsed, "quality", 1, 100, s.m_nQuality))
        return BadArgument("--quality must be a whole number from 1 to 100");
    const auto takesQuality = [](const VideoCodec& codec) { return codec.m_bTakesQuality; };
    if (parsed.Has("quality") && !takesQuality(*s.m_pCodec))
        return BadArgument("--quality applies to --codec " + CodecNames(takesQuality, "and") + " only");
    if (!ReadIntOption(parsed, "threads", 1, kMaxCliThreads, s.m_nThreads))
        return BadArgument("--threads must be a whole number from 1 to 256");
    return {};
}
