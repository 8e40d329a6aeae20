#pragma once

// --fit stretch|contain|cover and --background RRGGBB, which every command
// takes alike: how each picture meets the canvas, and the colour of the bars.

#include <string>

// Local
#include "cli/CliArgs.h"
#include "engine/PictureFit.h"

// Reads both options into fit, which holds the command's defaults; gives an
// empty text, or one line saying which is wrong.
std::string ReadFitOptions(const CliArgs& parsed, FitOptions& fit);
