#pragma once

// Writes one video file of one container: opened with the frame format and
// the codec, given every frame in order, then committed. The file appears
// under its name only when committed: until then it is a temporary file
// beside it, and a writer that goes without a commit (a failure, an abort)
// takes that file with it and leaves an older file of the name untouched.

#include <cstdint>
#include <memory>
#include <string>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/IFrameEncoder.h"
#include "video/VideoCodec.h"

// What every frame of a file is and how it is compressed.
struct VideoFormat {
    Canvas m_canvas;
    std::int32_t m_nRate = 25; // frames per m_nScale seconds
    const VideoCodec* m_pCodec = &DefaultVideoCodec();
    std::int32_t m_nQuality = kDefaultVideoQuality; // for codecs that take one
    // m_nRate frames every m_nScale seconds, kept as this fraction, as AVI
    // keeps it: 30000/1001 is NTSC's 29.97. The wizard's rates are whole.
    std::int32_t m_nScale = 1;
};

class IVideoWriter {
public:
    virtual ~IVideoWriter() = default;

    // Creates the temporary file for strName and checks that the codec takes
    // the format, by making the first encoder. Each writer opens once.
    virtual EngineResult<void> Open(const std::string& strName, const VideoFormat& format) = 0;

    // An encoder whose frames this file takes: first the one Open made, then
    // new ones (only codecs whose frames stand alone need more than one).
    virtual EngineResult<std::unique_ptr<IFrameEncoder>> MakeEncoder() = 0;

    // Appends one frame, shown for nFrames frame times. After a failure the
    // file cannot be committed.
    virtual EngineResult<void> WriteFrame(const EncodedFrame& frame, std::int32_t nFrames = 1) = 0;

    // Completes the file and puts it in place of its name.
    virtual EngineResult<void> Commit() = 0;

    // The reason to give when a frame could not be compressed.
    virtual EngineError EncodeFailure(const std::string& strEncoderReason) const = 0;

    // True when a frame shown for several frame times is one sample (MP4),
    // false when it is written again for each (AVI).
    virtual bool HoldsInOneSample() const = 0;

    // The format Open was given.
    virtual const VideoFormat& Format() const = 0;
};
