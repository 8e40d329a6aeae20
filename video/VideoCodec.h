#pragma once

// The codecs a video is written with, one row each. The batch tool's --codec,
// the "Komprese videa" dialog, the frame pipeline and the writers all read
// this table, so a new codec is one row and its encoder.

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

// Local
#include "engine/EngineResult.h"
#include "engine/IFrameEncoder.h"

// What an encoder is made for.
struct EncoderSettings {
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    std::int32_t m_nQuality = 0; // 1..100 for the codecs that take one
    // m_nRate frames every m_nScale seconds, recorded by encoders that time their frames
    std::int32_t m_nRate = 25;
    std::int32_t m_nScale = 1;
    // The codec's parameter sets go once into the container's header (MP4)
    // instead of into every key frame (AVI).
    bool m_bGlobalHeader = false;
    // For a codec that cuts its frames into slices: how many.
    std::int32_t m_nSlices = 0;
};

using MakeEncoderFn = EngineResult<std::unique_ptr<IFrameEncoder>> (*)(const EncoderSettings& settings);

struct VideoCodec {
    std::uint32_t m_nFourcc;   // names the codec in an AVI file; 0 for frames kept uncompressed
    const char* m_pszName;     // the batch tool's --codec
    const char* m_pszLabel;    // the "Komprese videa" list
    bool m_bTakesQuality;      // lossy, with a quality 1..100
    // Every frame stands alone, so separate encoders may compress frames in
    // any order on several threads and give the same bytes. Otherwise one
    // encoder must compress every frame of a file in order.
    bool m_bFramesStandAlone;
    bool m_bGoesInMp4;         // an MP4 file can carry it
    MakeEncoderFn m_makeEncoder;
    // Slices per frame, where the codec cuts frames into slices. Fixed here
    // rather than taken from the machine's cores: the slices decide the
    // bytes, so a file is the same on every machine.
    std::int32_t m_nSlices = 0;
};

constexpr std::uint32_t MakeFourcc(const char (&sz)[5])
{
    return static_cast<std::uint8_t>(sz[0]) | static_cast<std::uint8_t>(sz[1]) << 8 |
           static_cast<std::uint8_t>(sz[2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(sz[3])) << 24;
}

inline constexpr std::int32_t kDefaultVideoQuality = 90;

// The rows, in the order the dialog offers them.
std::span<const VideoCodec> VideoCodecs();
// Motion JPEG: what the dialog shows first and the batch tool writes by default.
const VideoCodec& DefaultVideoCodec();
// The row with that --codec name, or null.
const VideoCodec* FindVideoCodec(std::string_view strName);
