#include "video/CAviWriter.h"

#include <algorithm>
#include <cerrno>
#include <strings.h>

namespace {

constexpr std::uint32_t kRiff = MakeFourcc("RIFF");
constexpr std::uint32_t kList = MakeFourcc("LIST");
constexpr std::uint32_t kJunk = MakeFourcc("JUNK");

constexpr std::uint32_t AVIF_HASINDEX = 0x10;
constexpr std::uint32_t AVIF_ISINTERLEAVED = 0x100;
constexpr std::uint32_t AVIIF_KEYFRAME = 0x10;
constexpr std::uint8_t AVI_INDEX_OF_INDEXES = 0x00;
constexpr std::uint8_t AVI_INDEX_OF_CHUNKS = 0x01;
constexpr std::uint32_t kDeltaFrameBit = 0x80000000u;

// Sizes of the fixed parts of the layout, with their chunk headers.
constexpr std::int64_t kAvihChunk = 8 + 56;
constexpr std::int64_t kStrhChunk = 8 + 56;
constexpr std::int64_t kDmlhChunk = 8 + 248;
constexpr std::int64_t kSuperIndexHeader = 8 + 24;
constexpr std::int64_t kStdIndexHeader = 8 + 24;

// The super index has room for this many segments.
constexpr std::size_t kSuperIndexEntries = 2048;

// The index entries of one segment are kept in memory until the segment
// ends, so a segment also ends after this many frames. Memory then stays the
// same however many frames a run writes.
constexpr std::size_t kMaxFramesPerSegment = 1u << 18;

// A segment stays below 2 GiB, so that readers taking RIFF sizes as signed
// 32-bit numbers read it too.
constexpr std::int64_t kMaxSegmentSize = 0x7FFF0000ll;
constexpr std::int64_t kMinSegmentSize = 4096;

// The largest frame a chunk holds.
constexpr std::size_t kMaxFrameBytes = 0x7FFFFFF0u;

// Not an errno: the file would outgrow its indexes.
constexpr int kTooLarge = -1;

std::int64_t StdIndexChunkSize(std::size_t nFrames)
{
    return kStdIndexHeader + 8 * static_cast<std::int64_t>(nFrames);
}

std::int64_t Idx1ChunkSize(std::size_t nFrames)
{
    return 8 + 16 * static_cast<std::int64_t>(nFrames);
}

class CByteWriter {
public:
    explicit CByteWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
    void U8(std::uint8_t v) { m_out.push_back(v); }
    void U16(std::uint32_t v)
    {
        U8(static_cast<std::uint8_t>(v));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void U64(std::uint64_t v)
    {
        U32(static_cast<std::uint32_t>(v));
        U32(static_cast<std::uint32_t>(v >> 32));
    }
    void Zeros(std::size_t n) { m_out.insert(m_out.end(), n, 0); }

private:
    std::vector<std::uint8_t>& m_out;
};

void PutU32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

std::uint32_t Clamp32(std::uint64_t v)
{
    return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(v);
}

// Only AVI files have a handler; the extension decides, in any case.
bool HasAviExtension(const std::string& strName)
{
    const auto nSlash = strName.find_last_of('/');
    const auto nDot = strName.find_last_of('.');
    if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash))
        return false;
    return ::strcasecmp(strName.c_str() + nDot, ".avi") == 0;
}

// The words for a failed write or for a file that cannot be finished.
std::string WriteFailureDetail(int nErr)
{
    switch (nErr) {
    case ENOMEM:
        return " There is not enough memory to complete the operation.";
    case kTooLarge:
        return " The file has grown too large.";
    default:
        return " A disk error occurred while writing the file.";
    }
}

} // namespace

std::string CAviWriter::EnsureAviExtension(std::string strName)
{
    // Searching the bytes of UTF-8 text for ASCII letters never matches
    // inside a multibyte character.
    if (strName.find("avi") == std::string::npos)
        strName += ".avi";
    return strName;
}

void CAviWriter::SetSegmentSize(std::int64_t nBytes)
{
    m_nSegmentSize = std::clamp(nBytes, kMinSegmentSize, kMaxSegmentSize);
}

EngineResult<void> CAviWriter::Open(const std::string& strName, const VideoFormat& format)
{
    const auto failure = [](const std::string& strText) { return EngineError{EngineErrorCode::WriteFailed, strText}; };
    if (m_bOpen || !m_strFailure.empty())
        return failure("AVI Engine failed to initialize. The writer is in use.");
    m_strFileName = strName;
    m_format = format;
    const std::string strOpenFailed = "AVI Engine failed to initialize. Check filename " + strName + ".";
    if (!HasAviExtension(strName))
        return failure(strOpenFailed + "According to the registry, the type of file specified in AVIFileOpen does "
                                       "not have a handler to process it");
    if (const int nErr = m_file.Open(strName); nErr != 0)
        return failure(strOpenFailed + (nErr == ENOMEM ? "The file could not be opened because of insufficient memory."
                                                       : "A disk error occurred while opening the file."));
    // A stream without a frame or with no time base cannot be played.
    const Canvas& canvas = format.m_canvas;
    if (format.m_nRate <= 0 || format.m_nScale <= 0 || canvas.Width() <= 0 || canvas.Height() <= 0)
        return Fail("AVI Stream creation failed. Check Bitmap info.");
    const VideoCodec* pCodec = format.m_pCodec;
    if (!pCodec)
        return Fail("AVI Compressed Stream creation failed. A suitable compressor cannot be found.");
    if (pCodec->m_bTakesQuality && (format.m_nQuality < 1 || format.m_nQuality > 100))
        return Fail("AVI Compressed Stream creation failed.");
    const std::string strFormatFailed = "AVI Compressed Stream format setting failed.";
    if (canvas.ImageSize() > kMaxFrameBytes)
        return Fail(strFormatFailed);
    auto made = MakeFirstEncoder();
    if (!made)
        return Fail(strFormatFailed + " " + made.Error().m_strMessage);
    const std::span<const std::uint8_t> header = made.Value()->StreamHeader();
    m_streamHeader.assign(header.begin(), header.end());

    m_nFourcc = pCodec->m_nFourcc;
    m_ckid = m_nFourcc == 0 ? MakeFourcc("00db") : MakeFourcc("00dc");
    // The headers take their final size now; counts are filled in by Commit.
    const std::vector<std::uint8_t> headers = BuildHeaders();
    if (m_file.Write(headers.data(), headers.size()) != 0)
        return Fail(strFormatFailed);
    m_bSegmentOpen = true;
    m_nRiffStart = 0;
    m_nMoviStart = static_cast<std::int64_t>(headers.size()) - 4;
    m_bOpen = true;
    return {};
}

std::vector<std::uint8_t> CAviWriter::BuildHeaders() const
{
    const std::int64_t nSuperIndexChunk = kSuperIndexHeader + 16 * static_cast<std::int64_t>(kSuperIndexEntries);
    // The bitmap header and the codec's stream header, padded to an even size.
    const auto nFormat = static_cast<std::uint32_t>(40 + m_streamHeader.size());
    const std::int64_t nStrl = 4 + kStrhChunk + 8 + nFormat + (nFormat & 1) + nSuperIndexChunk;
    const std::int64_t nOdml = 4 + kDmlhChunk;
    const std::int64_t nHdrl = 4 + kAvihChunk + 8 + nStrl + 8 + nOdml;

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(12 + 8 + nHdrl + 12));
    CByteWriter w(out);

    const Canvas& canvas = m_format.m_canvas;
    const auto nRate = static_cast<std::uint32_t>(m_format.m_nRate);
    const auto nScale = static_cast<std::uint32_t>(m_format.m_nScale);
    const auto nWidth = static_cast<std::uint32_t>(canvas.Width());
    const auto nHeight = static_cast<std::uint32_t>(canvas.Height());
    const std::uint32_t nMaxChunk = std::max(m_nMaxChunk, static_cast<std::uint32_t>(canvas.ImageSize()));

    w.U32(kRiff);
    w.U32(m_nFirstRiffSize);
    w.U32(MakeFourcc("AVI "));

    w.U32(kList);
    w.U32(static_cast<std::uint32_t>(nHdrl));
    w.U32(MakeFourcc("hdrl"));

    // Main header.
    w.U32(MakeFourcc("avih"));
    w.U32(56);
    w.U32(Clamp32(std::uint64_t{1000000} * nScale / nRate));
    w.U32(Clamp32((std::uint64_t{nMaxChunk} * nRate + nScale - 1) / nScale));
    w.U32(0); // padding granularity
    w.U32(AVIF_HASINDEX | AVIF_ISINTERLEAVED);
    w.U32(m_nFirstRiffFrames); // frames of the first segment; dmlh has them all
    w.U32(0);                  // initial frames
    w.U32(1);                  // streams
    w.U32(nMaxChunk);
    w.U32(nWidth);
    w.U32(nHeight);
    w.Zeros(16);

    w.U32(kList);
    w.U32(static_cast<std::uint32_t>(nStrl));
    w.U32(MakeFourcc("strl"));

    // Stream header: video, the codec, the rate over its scale, the length,
    // the suggested buffer and the frame rectangle.
    w.U32(MakeFourcc("strh"));
    w.U32(56);
    w.U32(MakeFourcc("vids"));
    w.U32(m_nFourcc);
    w.Zeros(4 + 2 + 2 + 4); // flags, priority, language, initial frames
    w.U32(nScale);
    w.U32(nRate);
    w.U32(0); // start
    w.U32(Clamp32(static_cast<std::uint64_t>(m_nFrames)));
    w.U32(nMaxChunk);
    w.Zeros(4 + 4); // quality, sample size
    w.U16(0);
    w.U16(0);
    w.U16(nWidth);
    w.U16(nHeight);

    // Stream format: the canvas header, naming the codec and the size of a
    // decoded picture where the frames are compressed, and the codec's own
    // header, which the header's size covers, as readers expect.
    w.U32(MakeFourcc("strf"));
    w.U32(nFormat);
    w.U32(nFormat);
    w.U32(nWidth);
    w.U32(nHeight);
    w.U16(1);
    w.U16(24);
    w.U32(m_nFourcc);
    w.U32(m_nFourcc == 0 ? static_cast<std::uint32_t>(canvas.ImageSize()) : nWidth * nHeight * 3);
    w.Zeros(16);
    out.insert(out.end(), m_streamHeader.begin(), m_streamHeader.end());
    w.Zeros(nFormat & 1);

    // Super index: one entry per segment's standard index. A file of one
    // segment has no standard indexes, and its room is a JUNK chunk that
    // readers skip; it becomes the super index once a second segment begins.
    const bool bOpenDml = !m_segments.empty();
    w.U32(bOpenDml ? MakeFourcc("indx") : kJunk);
    w.U32(static_cast<std::uint32_t>(nSuperIndexChunk - 8));
    w.U16(4); // longs per entry
    w.U8(0);  // sub-type
    w.U8(AVI_INDEX_OF_INDEXES);
    w.U32(static_cast<std::uint32_t>(m_segments.size()));
    w.U32(m_ckid);
    w.Zeros(12);
    for (const SegmentEntry& e : m_segments) {
        w.U64(e.nIndexOffset);
        w.U32(e.nIndexSize);
        w.U32(e.nFrames);
    }
    w.Zeros(16 * (kSuperIndexEntries - m_segments.size()));

    // OpenDML extended header, likewise kept as JUNK in a file of one
    // segment, where the main header already counts every frame.
    w.U32(bOpenDml ? kList : kJunk);
    w.U32(static_cast<std::uint32_t>(nOdml));
    w.U32(MakeFourcc("odml"));
    w.U32(MakeFourcc("dmlh"));
    w.U32(248);
    w.U32(Clamp32(static_cast<std::uint64_t>(m_nFrames)));
    w.Zeros(244);

    w.U32(kList);
    w.U32(m_nFirstMoviSize);
    w.U32(MakeFourcc("movi"));
    return out;
}

int CAviWriter::BeginSegment()
{
    std::vector<std::uint8_t> head;
    CByteWriter w(head);
    w.U32(kRiff);
    w.U32(0);
    w.U32(MakeFourcc("AVIX"));
    w.U32(kList);
    w.U32(0);
    w.U32(MakeFourcc("movi"));
    const std::int64_t nStart = m_file.Size();
    if (const int nErr = m_file.Write(head.data(), head.size()))
        return nErr;
    m_bSegmentOpen = true;
    m_nRiffStart = nStart;
    m_nMoviStart = nStart + 20;
    m_index.clear();
    return 0;
}

int CAviWriter::EndSegment(bool bMoreFollow)
{
    const bool bFirst = m_nRiffStart == 0;
    std::vector<std::uint8_t> tail;
    CByteWriter w(tail);

    // The segment's standard index closes its movi list. A file of one
    // segment needs none: its legacy index covers every frame.
    if (!m_index.empty() && (!bFirst || bMoreFollow)) {
        if (m_segments.size() >= kSuperIndexEntries)
            return kTooLarge;
        const std::int64_t nIndexSize = StdIndexChunkSize(m_index.size());
        m_segments.push_back({static_cast<std::uint64_t>(m_file.Size()), static_cast<std::uint32_t>(nIndexSize),
                              static_cast<std::uint32_t>(m_index.size())});
        w.U32(MakeFourcc("ix00"));
        w.U32(static_cast<std::uint32_t>(nIndexSize - 8));
        w.U16(2); // longs per entry
        w.U8(0);
        w.U8(AVI_INDEX_OF_CHUNKS);
        w.U32(static_cast<std::uint32_t>(m_index.size()));
        w.U32(m_ckid);
        w.U64(static_cast<std::uint64_t>(m_nRiffStart)); // base of the offsets
        w.U32(0);
        for (const IndexEntry& e : m_index) {
            w.U32(e.nOffset);
            w.U32(e.nSize | (e.bKey ? 0 : kDeltaFrameBit));
        }
    }
    const std::int64_t nMoviEnd = m_file.Size() + static_cast<std::int64_t>(tail.size());
    const auto nMoviSize = static_cast<std::uint32_t>(nMoviEnd - m_nMoviStart);

    // The first segment also carries the legacy index, with offsets from the
    // movi list type.
    if (bFirst) {
        w.U32(MakeFourcc("idx1"));
        w.U32(static_cast<std::uint32_t>(16 * m_index.size()));
        for (const IndexEntry& e : m_index) {
            w.U32(m_ckid);
            w.U32(e.bKey ? AVIIF_KEYFRAME : 0);
            w.U32(static_cast<std::uint32_t>(m_nRiffStart + e.nOffset - 8 - m_nMoviStart));
            w.U32(e.nSize);
        }
    }
    if (const int nErr = m_file.Write(tail.data(), tail.size()))
        return nErr;
    const auto nRiffSize = static_cast<std::uint32_t>(m_file.Size() - m_nRiffStart - 8);

    if (bFirst) {
        // Patched with the rest of the headers by Commit.
        m_nFirstRiffFrames = static_cast<std::uint32_t>(m_index.size());
        m_nFirstRiffSize = nRiffSize;
        m_nFirstMoviSize = nMoviSize;
    } else {
        std::uint8_t size[4];
        PutU32(size, nRiffSize);
        if (const int nErr = m_file.WriteAt(m_nRiffStart + 4, size, 4))
            return nErr;
        PutU32(size, nMoviSize);
        if (const int nErr = m_file.WriteAt(m_nMoviStart - 4, size, 4))
            return nErr;
    }
    m_bSegmentOpen = false;
    m_index.clear();
    return 0;
}

EngineResult<void> CAviWriter::WriteFrame(const EncodedFrame& frame, std::int32_t nFrames)
{
    if (!m_bOpen)
        return NotOpen("frame write failed.");
    if (frame.m_nSize > kMaxFrameBytes || (frame.m_nSize > 0 && !frame.m_pData))
        return Fail("AVI frame write failed." + WriteFailureDetail(kTooLarge));
    for (std::int32_t i = 0; i < nFrames; ++i)
        if (const int nErr = WriteFrameChunk(frame))
            return Fail("AVI frame write failed." + WriteFailureDetail(nErr));
    return {};
}

int CAviWriter::WriteFrameChunk(const EncodedFrame& frame)
{
    const auto nSize = static_cast<std::uint32_t>(frame.m_nSize);
    const std::int64_t nChunk = 8 + static_cast<std::int64_t>(nSize) + (nSize & 1);
    if (m_bSegmentOpen && !m_index.empty()) {
        const bool bFirst = m_nRiffStart == 0;
        const std::int64_t nAfter = (m_file.Size() - m_nRiffStart) + nChunk + StdIndexChunkSize(m_index.size() + 1) +
                                    (bFirst ? Idx1ChunkSize(m_index.size() + 1) : 0);
        if (nAfter > m_nSegmentSize || m_index.size() >= kMaxFramesPerSegment) {
            if (const int nErr = EndSegment(true))
                return nErr;
        }
    }
    if (!m_bSegmentOpen) {
        if (m_segments.size() >= kSuperIndexEntries)
            return kTooLarge; // The super index is full.
        if (const int nErr = BeginSegment())
            return nErr;
    }

    const std::int64_t nHeaderPos = m_file.Size();
    std::uint8_t head[8];
    PutU32(head, m_ckid);
    PutU32(head + 4, nSize);
    if (const int nErr = m_file.Write(head, 8))
        return nErr;
    if (nSize > 0) {
        if (const int nErr = m_file.Write(frame.m_pData, nSize))
            return nErr;
    }
    if (nSize & 1) {
        const std::uint8_t pad = 0;
        if (const int nErr = m_file.Write(&pad, 1))
            return nErr;
    }
    m_index.push_back({static_cast<std::uint32_t>(nHeaderPos + 8 - m_nRiffStart), nSize, frame.m_bKeyFrame});
    ++m_nFrames;
    m_nMaxChunk = std::max(m_nMaxChunk, nSize);
    return 0;
}

EngineResult<void> CAviWriter::Commit()
{
    if (!m_bOpen)
        return NotOpen("file could not be finished.");
    const std::string strFailed = "AVI file could not be finished. Check filename " + m_strFileName + ".";
    if (m_bSegmentOpen) {
        if (const int nErr = EndSegment(false))
            return Fail(strFailed + WriteFailureDetail(nErr));
    }
    const std::vector<std::uint8_t> headers = BuildHeaders();
    int nErr = m_file.WriteAt(0, headers.data(), headers.size());
    if (nErr == 0)
        nErr = m_file.Commit();
    if (nErr != 0)
        return Fail(strFailed + WriteFailureDetail(nErr));
    m_bOpen = false;
    return {};
}
