#pragma once

// Whether an output would land on one of the render's own sources. Writing
// the result over a source picture would lose that picture, so both front
// ends refuse such an output before anything is asked or written.

#include <span>
#include <string>

// Local
#include "engine/EngineResult.h"

// True when the two names lead to one file: the same device and inode once
// links are followed. Where either does not exist (yet), the two paths are
// compared after links, "." and ".." are resolved.
bool IsSameFile(const std::string& strFirst, const std::string& strSecond);

// Refuses an output that is one of the source pictures, with OutputIsSource
// and a line naming the output.
EngineResult<void> CheckOutputIsNotASource(const std::string& strOutput, std::span<const std::string> sources);

// The same for the first and the second source picture.
EngineResult<void> CheckOutputIsNotASource(const std::string& strOutput, const std::string& strFirst,
                                           const std::string& strSecond);
