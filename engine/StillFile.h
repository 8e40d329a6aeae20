#pragma once

// The still picture's file, written in the format its name asks for: one
// rule for every front end that writes stills.

#include <string>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PixelBuffer.h"

// Whether a still may be written under strPath. The extension, in any case,
// picks the format: .png, .jpg or .jpeg (quality 95, full colour), .webp
// (lossless), .tif or .tiff; .bmp and any other name give the 24-bit BMP.
// The extension of a picture format that Plavex reads but does not write
// (.gif, .heic, .heif, .avif) is refused with OutputFormatUnwritable, in one
// line that names the formats it writes.
EngineResult<void> CheckStillFileName(const std::string& strPath);

// Writes the picture to strPath in that format. The bytes go to a temporary
// file beside the target, which replaces it only once complete; any failure
// leaves an existing file as it was and gives WriteFailed, or the refusal
// above.
EngineResult<void> SaveStillFile(const std::string& strPath, const PixelBuffer& buffer, const Canvas& canvas);
