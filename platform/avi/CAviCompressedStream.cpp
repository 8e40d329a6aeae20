#include "platform/avi/CAviCompressedStream.h"

#include <cstdint>
#include <cstring>
#include <new>

// Local
#include "platform/avi/CMjpegEncoder.h"

namespace {

bool IsFullFrames(FOURCC fcc)
{
    return fcc == 0 || fcc == comptypeDIB || fcc == mmioFOURCC('d', 'i', 'b', ' ');
}

bool IsMotionJpeg(FOURCC fcc)
{
    return fcc == comptypeMJPG || fcc == mmioFOURCC('m', 'j', 'p', 'g');
}

} // namespace

HRESULT CAviCompressedStream::Create(CAviStream* pSource, const AVICOMPRESSOPTIONS& options, CAviStream** ppStream)
{
    *ppStream = nullptr;
    if (!pSource)
        return AVIERR_BADHANDLE;
    if (options.fccType != 0 && options.fccType != streamtypeVIDEO)
        return AVIERR_UNSUPPORTED;
    int nQuality = 0;
    if (IsMotionJpeg(options.fccHandler)) {
        if (options.dwQuality < 1 || options.dwQuality > 100)
            return AVIERR_BADPARAM;
        nQuality = static_cast<int>(options.dwQuality);
    } else if (!IsFullFrames(options.fccHandler)) {
        return AVIERR_NOCOMPRESSOR;
    }
    auto* pStream = new (std::nothrow)
        CAviCompressedStream(pSource, IsMotionJpeg(options.fccHandler) ? comptypeMJPG : comptypeDIB, nQuality);
    if (!pStream)
        return AVIERR_MEMORY;
    *ppStream = pStream;
    return AVIERR_OK;
}

CAviCompressedStream::CAviCompressedStream(CAviStream* pSource, FOURCC fccHandler, int nQuality)
    : m_pSource(pSource), m_fccHandler(fccHandler), m_nQuality(nQuality)
{
    m_pSource->AddRef();
}

CAviCompressedStream::~CAviCompressedStream()
{
    m_pSource->Release();
}

HRESULT CAviCompressedStream::SetFormat(LONG lPos, const void* pFormat, LONG cbFormat)
{
    if (!pFormat || cbFormat < static_cast<LONG>(sizeof(BITMAPINFOHEADER)))
        return AVIERR_BADFORMAT;
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, pFormat, sizeof bih);
    // Both compressors take 24-bit uncompressed bottom-up pictures only.
    if (bih.biSize < sizeof(BITMAPINFOHEADER) || bih.biSize > static_cast<DWORD>(cbFormat) || bih.biPlanes != 1 ||
        bih.biBitCount != 24 || bih.biCompression != BI_RGB || bih.biWidth <= 0 || bih.biHeight <= 0)
        return AVIERR_BADFORMAT;
    constexpr std::int64_t kMaxFrameBytes = 0x7FFFFFF0ll;
    const std::int64_t nStride = ((static_cast<std::int64_t>(bih.biWidth) * 3 + 3) / 4) * 4;
    // One row alone can be too large; checking it first keeps the product
    // below from overflowing.
    if (nStride > kMaxFrameBytes)
        return AVIERR_BADFORMAT;
    const std::int64_t nImage = nStride * bih.biHeight;
    // The frame size the header promises must hold every row.
    if (nImage > kMaxFrameBytes || bih.biSizeImage < nImage)
        return AVIERR_BADFORMAT;

    HRESULT hr;
    if (m_fccHandler == comptypeMJPG) {
        auto pEncoder = std::unique_ptr<CMjpegEncoder>(new (std::nothrow) CMjpegEncoder());
        if (!pEncoder)
            return AVIERR_MEMORY;
        if (!pEncoder->Init(bih.biWidth, bih.biHeight, m_nQuality))
            return AVIERR_COMPRESSOR;
        BITMAPINFOHEADER out = bih;
        out.biSize = sizeof(BITMAPINFOHEADER);
        out.biCompression = comptypeMJPG;
        // Players size their frame buffers from this: the decoded picture.
        out.biSizeImage = static_cast<DWORD>(static_cast<std::int64_t>(bih.biWidth) * bih.biHeight * 3);
        out.biClrUsed = 0;
        out.biClrImportant = 0;
        hr = m_pSource->SetFormat(lPos, &out, sizeof out);
        if (hr == AVIERR_OK)
            m_pEncoder = std::move(pEncoder);
    } else {
        hr = m_pSource->SetFormat(lPos, pFormat, cbFormat);
    }
    if (hr == AVIERR_OK) {
        m_nStride = static_cast<LONG>(nStride);
        m_nImageBytes = static_cast<DWORD>(nImage);
        m_bFormatSet = true;
    }
    return hr;
}

HRESULT CAviCompressedStream::Write(LONG lStart, LONG lSamples, const void* pBuffer, LONG cbBuffer, DWORD dwFlags,
                                    LONG* plSampWritten, LONG* plBytesWritten)
{
    if (plSampWritten)
        *plSampWritten = 0;
    if (plBytesWritten)
        *plBytesWritten = 0;
    if (m_hrFailed != AVIERR_OK)
        return m_hrFailed;
    if (!m_bFormatSet)
        return AVIERR_BADFORMAT;
    if (lSamples != 1 || !pBuffer || cbBuffer < 0 || static_cast<DWORD>(cbBuffer) < m_nImageBytes)
        return AVIERR_BADSIZE;

    HRESULT hr;
    if (m_pEncoder) {
        const BYTE* pJpeg = nullptr;
        std::size_t nJpeg = 0;
        if (!m_pEncoder->Encode(static_cast<const BYTE*>(pBuffer), m_nStride, &pJpeg, &nJpeg))
            hr = AVIERR_COMPRESSOR;
        else
            hr = m_pSource->Write(lStart, 1, pJpeg, static_cast<LONG>(nJpeg), dwFlags, plSampWritten, nullptr);
    } else {
        hr = m_pSource->Write(lStart, 1, pBuffer, cbBuffer, dwFlags, plSampWritten, nullptr);
    }
    if (hr != AVIERR_OK) {
        m_hrFailed = hr;
        return hr;
    }
    if (plBytesWritten)
        *plBytesWritten = cbBuffer;
    return AVIERR_OK;
}
