#pragma once

// The options that every command writing a video takes alike: the frame
// rate, the codec and its quality, and the threads that make the frames.

#include <cstdint>
#include <string>
#include <vector>

// Local
#include "cli/CliArgs.h"
#include "engine/FramePipeline.h"
#include "video/VideoCodec.h"

struct CliVideoSettings {
    CliRate m_rate;
    const VideoCodec* m_pCodec = &DefaultVideoCodec();
    std::int32_t m_nQuality = kDefaultVideoQuality;
    std::int32_t m_nThreads = FramePipeline::DefaultWorkers();
};

// The words --codec takes: the names of the codec table.
std::vector<std::string> CodecNames();

// Reads --fps F, --codec NAME, --quality Q and --threads T into settings,
// for a video written to strOutput: an MP4 name takes H.264, which is also
// its default. Fails with BadArgument and one line saying which is wrong.
EngineResult<void> ReadVideoSettings(const CliArgs& parsed, const std::string& strOutput, CliVideoSettings& settings);
