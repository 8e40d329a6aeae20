#include "platform/avi/CAviCompressedStream.h"

#include <cstdint>
#include <cstring>
#include <new>

// Local
#include "platform/avi/FrameEncoderFactory.h"

HRESULT CAviCompressedStream::Create(CAviStream* pSource, const AVICOMPRESSOPTIONS& options, CAviStream** ppStream)
{
    *ppStream = nullptr;
    if (!pSource)
        return AVIERR_BADHANDLE;
    if (options.fccType != 0 && options.fccType != streamtypeVIDEO)
        return AVIERR_UNSUPPORTED;
    const FOURCC fccHandler = CanonicalCompressor(options.fccHandler);
    if (fccHandler == 0)
        return AVIERR_NOCOMPRESSOR;
    int nQuality = 0;
    if (fccHandler == comptypeMJPG || fccHandler == comptypeH264) {
        if (options.dwQuality < 1 || options.dwQuality > 100)
            return AVIERR_BADPARAM;
        nQuality = static_cast<int>(options.dwQuality);
    }
    auto* pStream = new (std::nothrow) CAviCompressedStream(pSource, fccHandler, nQuality);
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

    // Encoders that time their frames are told the stream's rate.
    AVISTREAMINFOA info{};
    if (m_pSource->Info(&info) != AVIERR_OK || info.dwRate == 0 || info.dwScale == 0) {
        info.dwRate = kDefaultFrameRate;
        info.dwScale = 1;
    }
    std::unique_ptr<IFrameEncoder> pEncoder = CreateFrameEncoder(m_fccHandler, bih.biWidth, bih.biHeight, m_nQuality,
                                                                 &m_strError, info.dwRate, info.dwScale);
    if (!pEncoder)
        return AVIERR_COMPRESSOR;
    HRESULT hr;
    if (m_fccHandler != comptypeDIB) {
        BITMAPINFOHEADER out = bih;
        out.biSize = sizeof(BITMAPINFOHEADER);
        out.biCompression = m_fccHandler;
        // Players size their frame buffers from this: the decoded picture.
        out.biSizeImage = static_cast<DWORD>(static_cast<std::int64_t>(bih.biWidth) * bih.biHeight * 3);
        out.biClrUsed = 0;
        out.biClrImportant = 0;
        hr = m_pSource->SetFormat(lPos, &out, sizeof out);
    } else {
        hr = m_pSource->SetFormat(lPos, pFormat, cbFormat);
    }
    if (hr == AVIERR_OK) {
        m_pEncoder = std::move(pEncoder);
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
    if (!m_bFormatSet || !m_pEncoder)
        return AVIERR_BADFORMAT;
    if (lSamples != 1 || !pBuffer || cbBuffer < 0 || static_cast<DWORD>(cbBuffer) < m_nImageBytes)
        return AVIERR_BADSIZE;

    HRESULT hr;
    EncodedFrame frame;
    if (!m_pEncoder->Encode(static_cast<const BYTE*>(pBuffer), m_nStride, &frame)) {
        m_strError = m_pEncoder->LastError();
        hr = AVIERR_COMPRESSOR;
    } else if (frame.m_nSize > 0x7FFFFFF0u) {
        hr = AVIERR_BADSIZE;
    } else {
        // The encoder knows which frames stand alone; the caller's flag is
        // only a request.
        const DWORD dwFrameFlags = (dwFlags & ~AVIIF_KEYFRAME) | (frame.m_bKeyFrame ? AVIIF_KEYFRAME : 0);
        hr = m_pSource->Write(lStart, 1, frame.m_pData, static_cast<LONG>(frame.m_nSize), dwFrameFlags,
                              plSampWritten, nullptr);
    }
    if (hr != AVIERR_OK) {
        m_hrFailed = hr;
        return hr;
    }
    if (plBytesWritten)
        *plBytesWritten = cbBuffer;
    return AVIERR_OK;
}
