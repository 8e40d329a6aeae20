#pragma once

// The options that every command writing a video takes alike: the frame
// rate, the canvas size, the compressor and the threads that make the frames.

#include <cstdint>
#include <string>

// Local
#include "cli/CliArgs.h"
#include "engine/Canvas.h"
#include "engine/FramePipeline.h"
#include "platform/avi/CFixedCompressionChooser.h"

// The largest value of a numeric option.
inline constexpr std::int32_t kMaxCliSetting = 1000000;
// The most threads a command may be given.
inline constexpr std::int32_t kMaxCliThreads = 256;

struct CliVideoSettings {
    std::int32_t m_nFps = 25;
    std::int32_t m_nSizeMode = kSizeModeAutomatic;
    CliSize m_size;
    CFixedCompressionChooser::Options m_codec;
    std::int32_t m_nThreads = FramePipeline::DefaultWorkers();
};

// Reads --fps F, --size WxH, --codec raw|mjpeg|h264|ffv1, --quality Q and
// --threads T into settings; gives an empty text, or one line saying which
// is wrong.
std::string ReadVideoSettings(const CliArgs& parsed, CliVideoSettings& settings);

// Reads the whole number option strName into nValue when it is given; false
// when it is given but not a number from nMin to nMax.
bool ReadIntOption(const CliArgs& parsed, const char* szName, std::int32_t nMin, std::int32_t nMax,
                   std::int32_t& nValue);
