#pragma once

// plavex-cli still: mixes two pictures into one picture file, exactly as the
// wizard's still render does. OUTPUT's extension picks the format
// (engine/StillFile.h): .png, .jpg/.jpeg (quality 95, 4:4:4), .webp
// (lossless), .tif/.tiff; .bmp and any other name give the 24-bit BMP;
// .gif, .heic, .heif and .avif are refused.
//
//   plavex-cli still FIRST SECOND OUTPUT [--ratio P] [--size WxH] [--fit F] [--background RRGGBB]
//
// P is the share of SECOND in percent, 0..100 (default 50). --size sets a
// custom canvas; without it the size is automatic. --fit (default stretch)
// and --background place the pictures on it.

#include <ostream>
#include <string>
#include <vector>

// args are the words after "still". Gives 0 on success, 1 with one line on
// err when a picture cannot be loaded, the size is impossible or the output
// cannot be written, and 2 for a usage error.
int RunStillCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
