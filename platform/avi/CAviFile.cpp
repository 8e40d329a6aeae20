#include "platform/avi/CAviFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

// Local
#include "platform/avi/CAviFileStream.h"

namespace {

constexpr FOURCC kRiff = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC kList = mmioFOURCC('L', 'I', 'S', 'T');
constexpr FOURCC kJunk = mmioFOURCC('J', 'U', 'N', 'K');

constexpr DWORD AVIF_HASINDEX = 0x10;
constexpr DWORD AVIF_ISINTERLEAVED = 0x100;
constexpr BYTE AVI_INDEX_OF_INDEXES = 0x00;
constexpr BYTE AVI_INDEX_OF_CHUNKS = 0x01;
constexpr std::uint32_t kDeltaFrameBit = 0x80000000u;

// Sizes of the fixed parts of the layout, with their chunk headers.
constexpr std::int64_t kAvihChunk = 8 + 56;
constexpr std::int64_t kStrhChunk = 8 + 56;
constexpr std::int64_t kDmlhChunk = 8 + 248;
constexpr std::int64_t kSuperIndexHeader = 8 + 24;
constexpr std::int64_t kStdIndexHeader = 8 + 24;

// The index entries of one segment are kept in memory until the segment
// ends, so a segment also ends after this many frames. Memory then stays the
// same however many frames a run writes.
constexpr std::size_t kMaxFramesPerSegment = 1u << 18;

// A segment stays below 2 GiB, so that readers taking RIFF sizes as signed
// 32-bit numbers read it too.
constexpr std::int64_t kMaxSegmentSize = 0x7FFF0000ll;

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
    explicit CByteWriter(std::vector<BYTE>& out) : m_out(out) {}
    void U8(BYTE v) { m_out.push_back(v); }
    void U16(std::uint32_t v)
    {
        U8(static_cast<BYTE>(v));
        U8(static_cast<BYTE>(v >> 8));
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
    void Bytes(const void* p, std::size_t n)
    {
        const auto* b = static_cast<const BYTE*>(p);
        m_out.insert(m_out.end(), b, b + n);
    }
    void Zeros(std::size_t n) { m_out.insert(m_out.end(), n, 0); }

private:
    std::vector<BYTE>& m_out;
};

void PutU32(BYTE* p, std::uint32_t v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
    p[2] = static_cast<BYTE>(v >> 16);
    p[3] = static_cast<BYTE>(v >> 24);
}

std::uint32_t Clamp32(std::uint64_t v)
{
    return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(v);
}

} // namespace

HRESULT CAviFile::Create(const std::string& strName, CAviFile** ppFile)
{
    *ppFile = nullptr;
    auto* pFile = new (std::nothrow) CAviFile();
    if (!pFile)
        return AVIERR_MEMORY;
    const int nErr = pFile->m_file.Open(strName);
    if (nErr != 0) {
        delete pFile;
        return nErr == ENOMEM ? AVIERR_MEMORY : AVIERR_FILEOPEN;
    }
    *ppFile = pFile;
    return AVIERR_OK;
}

ULONG CAviFile::Release()
{
    const ULONG nRefs = --m_nRefs;
    if (nRefs == 0)
        delete this; // An uncommitted pending file is removed with it.
    return nRefs;
}

HRESULT CAviFile::SetOptions(const AVIFILEOPTIONS& options)
{
    if (m_nHeaderSize != 0)
        return AVIERR_UNSUPPORTED;
    if (options.llSegmentSize <= 0 || options.dwSuperIndexEntries == 0 || options.dwSuperIndexEntries > 65536)
        return AVIERR_BADPARAM;
    m_options = options;
    m_options.llSegmentSize = std::min(options.llSegmentSize, kMaxSegmentSize);
    return AVIERR_OK;
}

HRESULT CAviFile::CreateStream(const AVISTREAMINFOA& info, PAVISTREAM* ppStream)
{
    *ppStream = nullptr;
    if (m_bHasStream)
        return AVIERR_UNSUPPORTED; // One video stream per file.
    if (info.fccType != streamtypeVIDEO)
        return AVIERR_UNSUPPORTED;
    // A stream without a frame or with no time base cannot be played.
    if (info.dwRate == 0 || info.dwScale == 0 || info.rcFrame.right <= info.rcFrame.left ||
        info.rcFrame.bottom <= info.rcFrame.top)
        return AVIERR_BADFORMAT;
    auto* pStream = new (std::nothrow) CAviFileStream(this);
    if (!pStream)
        return AVIERR_MEMORY;
    m_info = info;
    m_bHasStream = true;
    *ppStream = pStream;
    return AVIERR_OK;
}

HRESULT CAviFile::SetStreamFormat(const void* pFormat, LONG cbFormat)
{
    if (m_hrFailed != AVIERR_OK)
        return m_hrFailed;
    if (!pFormat || cbFormat < static_cast<LONG>(sizeof(BITMAPINFOHEADER)) || cbFormat > (1 << 16))
        return AVIERR_BADFORMAT;
    const auto* p = static_cast<const BYTE*>(pFormat);
    std::vector<BYTE> format(p, p + cbFormat);
    if (m_nHeaderSize != 0)
        return format == m_format ? AVIERR_OK : AVIERR_UNSUPPORTED; // No format changes.
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, p, sizeof bih);
    if (bih.biSize < sizeof(BITMAPINFOHEADER) || bih.biSize > static_cast<DWORD>(cbFormat))
        return AVIERR_BADFORMAT;

    m_format = std::move(format);
    m_ckid = bih.biCompression == BI_RGB ? mmioFOURCC('0', '0', 'd', 'b') : mmioFOURCC('0', '0', 'd', 'c');
    if (bih.biCompression != BI_RGB)
        m_info.fccHandler = bih.biCompression;

    // The headers take their final size now; counts are filled in by Commit.
    const std::vector<BYTE> headers = BuildHeaders();
    m_nHeaderSize = static_cast<std::int64_t>(headers.size());
    if (const int nErr = m_file.Write(headers.data(), headers.size()))
        return FailErrno(nErr);
    m_bSegmentOpen = true;
    m_nRiffStart = 0;
    m_nMoviStart = m_nHeaderSize - 4;
    return AVIERR_OK;
}

std::vector<BYTE> CAviFile::BuildHeaders() const
{
    const std::int64_t nFormatChunk = 8 + static_cast<std::int64_t>((m_format.size() + 1) & ~std::size_t{1});
    const std::int64_t nSuperIndexChunk = kSuperIndexHeader + 16 * static_cast<std::int64_t>(m_options.dwSuperIndexEntries);
    const std::int64_t nStrl = 4 + kStrhChunk + nFormatChunk + nSuperIndexChunk;
    const std::int64_t nOdml = 4 + kDmlhChunk;
    const std::int64_t nHdrl = 4 + kAvihChunk + 8 + nStrl + 8 + nOdml;

    std::vector<BYTE> out;
    out.reserve(static_cast<std::size_t>(12 + 8 + nHdrl + 12));
    CByteWriter w(out);

    const std::int64_t nFrames = m_nFrames;
    const std::uint32_t nMaxChunk = std::max(m_nMaxChunk, m_info.dwSuggestedBufferSize);
    const std::uint32_t nWidth = static_cast<std::uint32_t>(m_info.rcFrame.right - m_info.rcFrame.left);
    const std::uint32_t nHeight = static_cast<std::uint32_t>(m_info.rcFrame.bottom - m_info.rcFrame.top);

    w.U32(kRiff);
    w.U32(m_nFirstRiffSize);
    w.U32(mmioFOURCC('A', 'V', 'I', ' '));

    w.U32(kList);
    w.U32(static_cast<std::uint32_t>(nHdrl));
    w.U32(mmioFOURCC('h', 'd', 'r', 'l'));

    // Main header.
    w.U32(mmioFOURCC('a', 'v', 'i', 'h'));
    w.U32(56);
    w.U32(Clamp32(std::uint64_t{1000000} * m_info.dwScale / m_info.dwRate));
    w.U32(Clamp32(std::uint64_t{nMaxChunk} * m_info.dwRate / m_info.dwScale));
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
    w.U32(mmioFOURCC('s', 't', 'r', 'l'));

    // Stream header.
    w.U32(mmioFOURCC('s', 't', 'r', 'h'));
    w.U32(56);
    w.U32(m_info.fccType);
    w.U32(m_info.fccHandler);
    w.U32(m_info.dwFlags);
    w.U16(m_info.wPriority);
    w.U16(m_info.wLanguage);
    w.U32(m_info.dwInitialFrames);
    w.U32(m_info.dwScale);
    w.U32(m_info.dwRate);
    w.U32(m_info.dwStart);
    w.U32(Clamp32(static_cast<std::uint64_t>(nFrames)));
    w.U32(nMaxChunk);
    w.U32(m_info.dwQuality);
    w.U32(m_info.dwSampleSize);
    w.U16(static_cast<std::uint16_t>(m_info.rcFrame.left));
    w.U16(static_cast<std::uint16_t>(m_info.rcFrame.top));
    w.U16(static_cast<std::uint16_t>(m_info.rcFrame.right));
    w.U16(static_cast<std::uint16_t>(m_info.rcFrame.bottom));

    // Stream format.
    w.U32(mmioFOURCC('s', 't', 'r', 'f'));
    w.U32(static_cast<std::uint32_t>(m_format.size()));
    w.Bytes(m_format.data(), m_format.size());
    if (m_format.size() & 1)
        w.U8(0);

    // Super index: one entry per segment's standard index. A file of one
    // segment has no standard indexes, and its room is a JUNK chunk that
    // readers skip; it becomes the super index once a second segment begins.
    const bool bOpenDml = !m_segments.empty();
    w.U32(bOpenDml ? mmioFOURCC('i', 'n', 'd', 'x') : kJunk);
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
    w.Zeros(16 * (m_options.dwSuperIndexEntries - m_segments.size()));

    // OpenDML extended header, likewise kept as JUNK in a file of one
    // segment, where the main header already counts every frame.
    w.U32(bOpenDml ? kList : kJunk);
    w.U32(static_cast<std::uint32_t>(nOdml));
    w.U32(mmioFOURCC('o', 'd', 'm', 'l'));
    w.U32(mmioFOURCC('d', 'm', 'l', 'h'));
    w.U32(248);
    w.U32(Clamp32(static_cast<std::uint64_t>(nFrames)));
    w.Zeros(244);

    w.U32(kList);
    w.U32(m_nFirstMoviSize);
    w.U32(mmioFOURCC('m', 'o', 'v', 'i'));
    return out;
}

HRESULT CAviFile::BeginSegment()
{
    std::vector<BYTE> head;
    CByteWriter w(head);
    w.U32(kRiff);
    w.U32(0);
    w.U32(mmioFOURCC('A', 'V', 'I', 'X'));
    w.U32(kList);
    w.U32(0);
    w.U32(mmioFOURCC('m', 'o', 'v', 'i'));
    const std::int64_t nStart = m_file.Size();
    if (const int nErr = m_file.Write(head.data(), head.size()))
        return FailErrno(nErr);
    m_bSegmentOpen = true;
    m_nRiffStart = nStart;
    m_nMoviStart = nStart + 20;
    m_index.clear();
    return AVIERR_OK;
}

HRESULT CAviFile::EndSegment(bool bMoreFollow)
{
    const bool bFirst = m_nRiffStart == 0;
    std::vector<BYTE> tail;
    CByteWriter w(tail);

    // The segment's standard index closes its movi list. A file of one
    // segment needs none: its legacy index covers every frame.
    if (!m_index.empty() && (!bFirst || bMoreFollow)) {
        if (m_segments.size() >= m_options.dwSuperIndexEntries)
            return Fail(AVIERR_BADSIZE);
        const std::int64_t nIndexSize = StdIndexChunkSize(m_index.size());
        m_segments.push_back({static_cast<std::uint64_t>(m_file.Size()), static_cast<std::uint32_t>(nIndexSize),
                              static_cast<std::uint32_t>(m_index.size())});
        w.U32(mmioFOURCC('i', 'x', '0', '0'));
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
        w.U32(mmioFOURCC('i', 'd', 'x', '1'));
        w.U32(static_cast<std::uint32_t>(16 * m_index.size()));
        for (const IndexEntry& e : m_index) {
            w.U32(m_ckid);
            w.U32(e.bKey ? AVIIF_KEYFRAME : 0);
            w.U32(static_cast<std::uint32_t>(m_nRiffStart + e.nOffset - 8 - m_nMoviStart));
            w.U32(e.nSize);
        }
    }
    if (const int nErr = m_file.Write(tail.data(), tail.size()))
        return FailErrno(nErr);
    const auto nRiffSize = static_cast<std::uint32_t>(m_file.Size() - m_nRiffStart - 8);

    if (bFirst) {
        // Patched with the rest of the headers by Commit.
        m_nFirstRiffFrames = static_cast<std::uint32_t>(m_index.size());
        m_nFirstRiffSize = nRiffSize;
        m_nFirstMoviSize = nMoviSize;
    } else {
        BYTE size[4];
        PutU32(size, nRiffSize);
        if (const int nErr = m_file.WriteAt(m_nRiffStart + 4, size, 4))
            return FailErrno(nErr);
        PutU32(size, nMoviSize);
        if (const int nErr = m_file.WriteAt(m_nMoviStart - 4, size, 4))
            return FailErrno(nErr);
    }
    m_bSegmentOpen = false;
    m_index.clear();
    return AVIERR_OK;
}

HRESULT CAviFile::WriteFrame(LONG lPos, const void* pData, DWORD nSize, DWORD dwFlags)
{
    if (m_hrFailed != AVIERR_OK)
        return m_hrFailed;
    if (m_bCommitted)
        return AVIERR_READONLY;
    if (m_nHeaderSize == 0)
        return AVIERR_BADFORMAT;
    if (lPos != m_nFrames)
        return AVIERR_BADPARAM; // Frames are written in order, each once.
    if (nSize > 0x7FFFFFF0u || (nSize > 0 && !pData))
        return AVIERR_BADSIZE;

    const std::int64_t nChunk = 8 + static_cast<std::int64_t>(nSize) + (nSize & 1);
    if (m_bSegmentOpen && !m_index.empty()) {
        const bool bFirst = m_nRiffStart == 0;
        const std::int64_t nAfter = (m_file.Size() - m_nRiffStart) + nChunk + StdIndexChunkSize(m_index.size() + 1) +
                                    (bFirst ? Idx1ChunkSize(m_index.size() + 1) : 0);
        if (nAfter > m_options.llSegmentSize || m_index.size() >= kMaxFramesPerSegment) {
            if (const HRESULT hr = EndSegment(true); hr != AVIERR_OK)
                return hr;
        }
    }
    if (!m_bSegmentOpen) {
        if (m_segments.size() >= m_options.dwSuperIndexEntries)
            return Fail(AVIERR_BADSIZE); // The super index is full.
        if (const HRESULT hr = BeginSegment(); hr != AVIERR_OK)
            return hr;
    }

    const std::int64_t nHeaderPos = m_file.Size();
    BYTE head[8];
    PutU32(head, m_ckid);
    PutU32(head + 4, nSize);
    if (const int nErr = m_file.Write(head, 8))
        return FailErrno(nErr);
    if (nSize > 0) {
        if (const int nErr = m_file.Write(pData, nSize))
            return FailErrno(nErr);
    }
    if (nSize & 1) {
        const BYTE pad = 0;
        if (const int nErr = m_file.Write(&pad, 1))
            return FailErrno(nErr);
    }
    m_index.push_back({static_cast<std::uint32_t>(nHeaderPos + 8 - m_nRiffStart), nSize,
                       (dwFlags & AVIIF_KEYFRAME) != 0});
    ++m_nFrames;
    m_nMaxChunk = std::max(m_nMaxChunk, static_cast<std::uint32_t>(nSize));
    return AVIERR_OK;
}

HRESULT CAviFile::Commit()
{
    if (m_bCommitted)
        return AVIERR_OK;
    if (m_hrFailed != AVIERR_OK)
        return m_hrFailed;
    if (m_nHeaderSize == 0)
        return Fail(AVIERR_BADFORMAT); // No format, so nothing playable to keep.
    if (m_bSegmentOpen) {
        if (const HRESULT hr = EndSegment(false); hr != AVIERR_OK)
            return hr;
    }
    const std::vector<BYTE> headers = BuildHeaders();
    if (const int nErr = m_file.WriteAt(0, headers.data(), headers.size()))
        return FailErrno(nErr);
    if (const int nErr = m_file.Commit())
        return FailErrno(nErr);
    m_bCommitted = true;
    return AVIERR_OK;
}

HRESULT CAviFile::Fail(HRESULT hr)
{
    if (m_hrFailed == AVIERR_OK)
        m_hrFailed = hr;
    m_file.Discard();
    return m_hrFailed;
}

HRESULT CAviFile::FailErrno(int nErr)
{
    return Fail(nErr == ENOMEM ? AVIERR_MEMORY : AVIERR_FILEWRITE);
}
