#include "cli/CliVideoSettings.h"

// Local
#include "video/VideoContainer.h"

namespace {

// The --codec names of the rows that pass, as "a, b or c".
template <class Pred>
std::string CodecList(Pred pred, const char* pszLast)
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

} // namespace

std::vector<std::string> CodecNames()
{
    std::vector<std::string> names;
    for (const VideoCodec& codec : VideoCodecs())
        names.emplace_back(codec.m_pszName);
    return names;
}

EngineResult<void> ReadVideoSettings(const CliArgs& parsed, const std::string& strOutput, CliVideoSettings& s)
{
    const auto rate = ParseFrameRate(parsed.Text("fps"));
    if (!rate)
        return BadArgument("--fps must be a whole number, a fraction N/D or a decimal with up to three places, from 1 to 1000000");
    s.m_rate = *rate;
    const bool bMp4 = ContainerOfName(strOutput) == VideoContainer::Mp4;
    const auto inMp4 = [](const VideoCodec& codec) { return codec.m_bGoesInMp4; };
    if (bMp4)
        s.m_pCodec = CodecsOf(VideoContainer::Mp4).front();
    if (parsed.Has("codec")) {
        s.m_pCodec = FindVideoCodec(parsed.m_options.at("codec"));
        if (!s.m_pCodec)
            return BadArgument("--codec must be " + CodecList([](const VideoCodec&) { return true; }, "or"));
        if (bMp4 && !inMp4(*s.m_pCodec))
            return BadArgument("an MP4 file takes --codec " + CodecList(inMp4, "or") + " only");
    }
    const auto nQuality = parsed.Whole("quality");
    if (!nQuality)
        return nQuality.Error();
    s.m_nQuality = nQuality.Value();
    const auto takesQuality = [](const VideoCodec& codec) { return codec.m_bTakesQuality; };
    if (parsed.Has("quality") && !takesQuality(*s.m_pCodec))
        return BadArgument("--quality applies to --codec " + CodecList(takesQuality, "and") + " only");
    const auto nThreads = parsed.Whole("threads");
    if (!nThreads)
        return nThreads.Error();
    if (parsed.Has("threads"))
        s.m_nThreads = nThreads.Value();
    return {};
}
