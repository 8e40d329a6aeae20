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
#include "platform/file/CPendingFile.h"
#include "video/IVideoWriter.h"

struct AVFormatContext;
struct AVPacket;

class CMp4Writer : public IVideoWriter {
public:
    CMp4Writer() = default;
    ~CMp4Writer() override;

    CMp4Writer(const CMp4Writer&) = delete;
    CMp4Writer& operator=(const CMp4Writer&) = delete;

    EngineResult<void> Open(const std::string& strName, const VideoFormat& format) override;
    EngineResult<std::unique_ptr<IFrameEncoder>> MakeEncoder() override;
    EngineResult<void> WriteFrame(const EncodedFrame& frame, std::int32_t nFrames = 1) override;
    EngineResult<void> Commit() override;
    EngineError EncodeFailure(const std::string& strEncoderReason) const override;
    const VideoFormat& Format() const override { return m_format; }
    bool HoldsInOneSample() const override { return true; }

private:
    // Closes the muxer and drops the temporary file; keeps the first failure's text.
    EngineError Fail(const std::string& strText);
    void CloseMuxer();

    std::string m_strFileName;
    VideoFormat m_format;
    std::unique_ptr<IFrameEncoder> m_pFirstEncoder;
    CPendingFile m_file;
    AVFormatContext* m_pMuxer = nullptr;
    AVPacket* m_pPacket = nullptr;
    std::int64_t m_nTime = 0; // frame times written so far
    bool m_bOpen = false;
    std::string m_strFailure;
};
