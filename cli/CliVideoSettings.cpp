#include "cli/CliVideoSettings.h"

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

std::string ReadVideoSettings(const CliArgs& parsed, CliVideoSettings& s)
{
    if (!ReadIntOption(parsed, "fps", 1, kMaxCliSetting, s.m_nFps))
        return "--fps must be a whole number from 1 to 1000000";
    if (parsed.Has("size")) {
        const auto value = ParseSize(parsed.m_options.at("size"));
        if (!value || value->m_nWidth < 1 || value->m_nWidth > kMaxCliSetting || value->m_nHeight < 1 ||
            value->m_nHeight > kMaxCliSetting)
            return "--size must be WIDTHxHEIGHT, each from 1 to 1000000";
        s.m_nSizeMode = kSizeModeCustom;
        s.m_size = *value;
    }
    if (parsed.Has("codec")) {
        const std::string& strCodec = parsed.m_options.at("codec");
        if (strCodec == "raw")
            s.m_codec.fccHandler = comptypeDIB;
        else if (strCodec == "mjpeg")
            s.m_codec.fccHandler = comptypeMJPG;
        else if (strCodec == "h264")
            s.m_codec.fccHandler = comptypeH264;
        else if (strCodec == "ffv1")
            s.m_codec.fccHandler = comptypeFFV1;
        else
            return "--codec must be raw, mjpeg, h264 or ffv1";
    }
    std::int32_t nQuality = kMjpegDefaultQuality;
    if (!ReadIntOption(parsed, "quality", 1, 100, nQuality))
        return "--quality must be a whole number from 1 to 100";
    if (parsed.Has("quality") && s.m_codec.fccHandler != comptypeMJPG && s.m_codec.fccHandler != comptypeH264)
        return "--quality applies to --codec mjpeg and h264 only";
    s.m_codec.dwQuality = static_cast<DWORD>(nQuality);
    if (!ReadIntOption(parsed, "threads", 1, kMaxCliThreads, s.m_nThreads))
        return "--threads must be a whole number from 1 to 256";
    return {};
}
