#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Local
#include "platform/avi/AviTypes.h"
#include "platform/file/CPendingFile.h"

// An AVI file being written: one video stream in OpenDML layout. The first
// RIFF 'AVI ' segment carries the headers, the frames and a legacy 'idx1'
// index; further frames go to 'AVIX' segments. Once there is a second
// segment, every segment's frames are indexed by an 'ix00' standard index,
// which the 'indx' super index in the stream header lists, and the 'odml'
// list's 'dmlh' holds the total frame count. A file of one segment keeps
// 'JUNK' chunks of the same sizes in their places and no 'ix00', as a plain
// AVI file that could have grown.
//
// Reference-counted like the stream handles; each stream of the file holds a
// reference. The last release removes the file unless Commit succeeded.
class CAviFile {
public:
    // Opens a pending file for strName. Gives 0 or an AVIERR_* code.
    static HRESULT Create(const std::string& strName, CAviFile** ppFile);

    CAviFile(const CAviFile&) = delete;
    CAviFile& operator=(const CAviFile&) = delete;

    ULONG AddRef() { return ++m_nRefs; }
    ULONG Release();

    HRESULT SetOptions(const AVIFILEOPTIONS& options);
    HRESULT CreateStream(const AVISTREAMINFOA& info, PAVISTREAM* ppStream);

    // Used by the file's stream.
    HRESULT SetStreamFormat(const void* pFormat, LONG cbFormat);
    HRESULT WriteFrame(LONG lPos, const void* pData, DWORD nSize, DWORD dwFlags);

    HRESULT Commit();

    const AVISTREAMINFOA& StreamInfo() const { return m_info; }

    // Frames written so far.
    std::int64_t FrameCount() const { return m_nFrames; }

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

    CAviFile() = default;
    ~CAviFile() = default;

    std::vector<BYTE> BuildHeaders() const;
    HRESULT BeginSegment();
    // Closes the open segment; bMoreFollow when another segment begins next.
    HRESULT EndSegment(bool bMoreFollow);
    HRESULT Fail(HRESULT hr);
    HRESULT FailErrno(int nErr);

    ULONG m_nRefs = 1;
    CPendingFile m_file;
    AVIFILEOPTIONS m_options;
    HRESULT m_hrFailed = AVIERR_OK;
    bool m_bCommitted = false;

    bool m_bHasStream = false;
    AVISTREAMINFOA m_info{};
    std::vector<BYTE> m_format;
    FOURCC m_ckid = 0;           // '00db' or '00dc'
    std::int64_t m_nHeaderSize = 0;

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
