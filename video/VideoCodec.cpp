#include "video/VideoCodec.h"

#include <array>

// Local
#include "video/CAvcodecEncoder.h"
#include "video/CFfv1Encoder.h"
#include "video/CFullFrameEncoder.h"
#include "video/CMjpegEncoder.h"

namespace {

const std::array<VideoCodec, 4> kCodecs = {{
    {0, "raw", "Plné snímky (nekomprimované)", false, true, false, &CFullFrameEncoder::Make},
    {MakeFourcc("MJPG"), "mjpeg", "Motion JPEG", true, true, false, &CMjpegEncoder::Make},
    {MakeFourcc("H264"), "h264", "H.264", true, false, true, &CAvcodecEncoder::MakeH264},
    {MakeFourcc("FFV1"), "ffv1", "FFV1 (bezeztrátový)", false, true, false, &CFfv1Encoder::Make, 16},
}};

} // namespace

std::span<const VideoCodec> VideoCodecs()
{
    return kCodecs;
}

const VideoCodec& DefaultVideoCodec()
{
    return kCodecs[1];
}

const VideoCodec* FindVideoCodec(std::string_view strName)
{
    for (const VideoCodec& codec : kCodecs)
        if (strName == codec.m_pszName)
            return &codec;
    return nullptr;
}
