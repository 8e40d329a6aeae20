#pragma once

// The containers a video is written in, told by the output's name.

#include <memory>
#include <string>
#include <vector>

// Local
#include "video/IVideoWriter.h"
#include "video/VideoCodec.h"

enum class VideoContainer { Avi, Mp4 };

// A name ending in ".mp4", in any case, asks for MP4; every other name for AVI.
VideoContainer ContainerOfName(const std::string& strName);

// The name the file is written under: an AVI name gains ".avi" unless it
// contains "avi" (CAviWriter::EnsureAviExtension); an MP4 name stays.
std::string VideoFileName(const std::string& strChosen);

// A writer of the container, not yet opened.
std::unique_ptr<IVideoWriter> MakeVideoWriter(VideoContainer container);

// The codecs the container carries, in the table's order.
std::vector<const VideoCodec*> CodecsOf(VideoContainer container);
