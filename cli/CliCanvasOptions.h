#pragma once

// --size WxH, --fit stretch|contain|cover and --background RRGGBB, which
// every command takes alike: the canvas, how each picture meets it, and the
// colour of the bars.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Local
#include "cli/CliArgs.h"
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PictureFit.h"

class CliReport;

struct CliCanvasOptions {
    std::int32_t m_nSizeMode = kSizeModeAutomatic;
    CliSize m_size;
    FitOptions m_fit;
};

// The words --fit takes.
std::vector<std::string> FitNames();

// Reads the three options, each its row's default when not given; fails
// with BadArgument and one line saying which is wrong.
EngineResult<void> ReadCanvasOptions(const CliArgs& parsed, CliCanvasOptions& options);

// The canvas for pictures of these sizes. A custom size is rounded down to
// multiples of 4; when that changes it, report notes the size used.
EngineResult<Canvas> ComputeCliCanvas(const CliCanvasOptions& options, std::span<const PictureSize> pictures,
                                      const CliReport& report);
