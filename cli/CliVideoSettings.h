#pragma once

// The options that every command writing a video takes alike: the frame
// rate, the canvas size, the codec and its quality, and the threads that make
// the frames.

#include <cstdint>
#include <string>

// Local
#include "cli/CliArgs.h"
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "video/VideoCodec.h"

// The largest value of a numeric option.
inline constexpr std::int32_t kMaxCliSetting = 1000000;
// The most threads a command may be given.
inline constexpr std::int32_t kMaxCliThreads = 256;

struct CliVideoSettings {
    std::int32_t m_nFps = 25;
    std::int32_t m_nSizeMode = kSizeModeAutomatic;
    CliSize m_size;
    const VideoCodec* m_pCodec = &DefaultVideoCodec();
    std::int32_t m_nQuality = kDefaultVideoQuality;
    std::int32_t m_nThreads = FramePipeline::DefaultWorkers();
};

// Reads --fps F, --size WxH, --codec NAME (a name of the codec table),
// --quality Q and --threads T into settings, for a video written to
// strOutput: an MP4 name takes H.264, which is also its default. Fails with
// BadArgument and one line saying which is wrong.
EngineResult<void> ReadVideoSettings(const CliArgs& parsed, const std::string& strOutput, CliVideoSettings& settings);

// Reads the whole number option strName into nValue when it is given; false
// when it is given but not a number from nMin to nMax.
bool ReadIntOption(const CliArgs& parsed, const char* szName, std::int32_t nMin, std::int32_t nMax,
                   std::int32_t& nValue);
