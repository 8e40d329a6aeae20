#pragma once

// plavex-cli slideshow: dissolves any number of pictures, one into the next,
// into one video, holding at most two scaled pictures at a time.

#include <ostream>
#include <string>
#include <vector>

// args are the words after "slideshow". Gives 0 on success, 1 with one line
// on err when a picture cannot be loaded, the size is impossible or the
// output cannot be written, 2 for a usage error, and 128 + the signal's
// number when interrupted.
int RunSlideshowCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
