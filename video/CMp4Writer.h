#pragma once

// Writes one MP4 file holding one H.264 video stream through libavformat, in
// the layout phones, browsers and messaging apps play: the index ('moov')
// before the frames ('mdat'), the codec's parameter sets once in the header,
// and the real frame rate as the time base. A frame may last several frame
// times, so a picture held still is one sample and the duration stays exact.
// libavformat writes the temporary file beside the name, and its second pass
// (which moves the index to the front) reads and rewrites that same file;
// only the finished file is renamed over the name.

#include <cstdint>
#include <string>

// Local
#include "video/CStagedVideoWriter.h"

struct AVFormatContext;
struct AVPacket;

class CMp4Writer : public CStagedVideoWriter {
public:
    CMp4Writer() : CStagedVideoWriter("MP4", true) {}
    ~CMp4Writer() override;

    CMp4Writer(const CMp4Writer&) = delete;
    CMp4Writer& operator=(const CMp4Writer&) = delete;

    EngineResult<void> Open(const std::string& strName, const VideoFormat& format) override;
    EngineResult<void> WriteFrame(const EncodedFrame& frame, std::int32_t nFrames = 1) override;
    EngineResult<void> Commit() override;
    bool HoldsInOneSample() const override { return true; }

private:
    // Closes the muxer and the file it has open.
    void Close() override;

    AVFormatContext* m_pMuxer = nullptr;
    AVPacket* m_pPacket = nullptr;
    std::int64_t m_nTime = 0; // frame times written so far
};
