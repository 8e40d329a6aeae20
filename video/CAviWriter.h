#pragma once

// Writes one AVI file holding one video stream, in OpenDML layout: the first
// RIFF 'AVI ' segment carries the headers, the frames and a legacy 'idx1'
// index; further frames go to 'AVIX' segments. Once there is a second
// segment, every segment's frames are indexed by an 'ix00' standard index,
// which the 'indx' super index in the stream header lists, and the 'odml'
// list's 'dmlh' holds the total frame count. A file of one segment keeps
// 'JUNK' chunks of the same sizes in their places and no 'ix00', as a plain
// AVI file that could have grown. The stream's rate and scale are the
// format's fraction (30000 and 1001 for NTSC's 29.97), its format the canvas
// header naming the codec, followed by the codec's stream header where it
// has one.
//
// Failures are told in the writer's own words, which the wizard shows under
// "Animaci se nepodařilo uložit!".

#include <cstdint>
#include <string>
#include <vector>

// Local
#include "video/CStagedVideoWriter.h"

class CAviWriter : public CStagedVideoWriter {
public:
    CAviWriter() : CStagedVideoWriter("AVI", false) {}

    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    // Appends ".avi" unless the name already contains "avi" anywhere
    // (case-sensitive): "movie.AVI" gains ".avi", "avid/clip.mkv" does not.
    static std::string EnsureAviExtension(std::string strName);

    // The name must end in ".avi" (any case).
    EngineResult<void> Open(const std::string& strName, const VideoFormat& format) override;
    // Writes the frame nFrames times, each as a sample of its own.
    EngineResult<void> WriteFrame(const EncodedFrame& frame, std::int32_t nFrames = 1) override;
    EngineResult<void> Commit() override;
    bool HoldsInOneSample() const override { return false; }

    // Size of one RIFF segment (default 1 GiB, at least 4 KiB), set before
    // Open; a frame never splits, so a segment may exceed it by one frame.
    void SetSegmentSize(std::int64_t nBytes);

private:
    struct IndexEntry {
        std::uint32_t nOffset; // chunk data, from the start of its RIFF segment
        std::uint32_t nSize;
        bool bKey;
    };
    struct SegmentEntry {
        std::uint64_t nIndexOffset; // the segment's 'ix00' chunk in the file
        std::uint32_t nIndexSize;   // its size with the chunk header
        std::uint32_t nFrames;
    };

    std::vector<std::uint8_t> BuildHeaders() const;
    int WriteFrameChunk(const EncodedFrame& frame);
    int BeginSegment();
    // Closes the open segment; bMoreFollow when another segment begins next.
    int EndSegment(bool bMoreFollow);

    std::int64_t m_nSegmentSize = std::int64_t{1} << 30;

    std::uint32_t m_nFourcc = 0; // the codec's, 0 for full frames
    std::vector<std::uint8_t> m_streamHeader; // the codec's parameters, if it keeps them apart
    std::uint32_t m_ckid = 0;    // '00db' or '00dc'
    std::int64_t m_nFrames = 0;
    std::uint32_t m_nMaxChunk = 0;
    std::vector<SegmentEntry> m_segments;

    bool m_bSegmentOpen = false;
    std::int64_t m_nRiffStart = 0;   // offset of the segment's "RIFF"
    std::int64_t m_nMoviStart = 0;   // offset of its "movi" list type
    std::vector<IndexEntry> m_index; // frames of the open segment

    std::uint32_t m_nFirstRiffFrames = 0;
    std::uint32_t m_nFirstRiffSize = 0;
    std::uint32_t m_nFirstMoviSize = 0;
};
