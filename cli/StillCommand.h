#pragma once

// plavex-cli still: mixes two pictures into one picture file, exactly as the
// wizard's still render does. OUTPUT's extension picks the format: .png,
// .jpg/.jpeg (quality 95), .webp (lossless), .tif/.tiff; .bmp and any other
// name give the 24-bit BMP.
//
//   plavex-cli still FIRST SECOND OUTPUT [--ratio P] [--size WxH]
//
// P is the share of SECOND in percent, 0..100 (default 50). --size sets a
// custom canvas; without it the size is automatic.

#include <ostream>
#include <string>
#include <vector>

// args are the words after "still". Gives 0 on success, 1 with one line on
// err when a picture cannot be loaded, the size is impossible or the output
// cannot be written, and 2 for a usage error.
int RunStillCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
