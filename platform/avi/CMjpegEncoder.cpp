#include "platform/avi/CMjpegEncoder.h"

#include <turbojpeg.h>

// 4:2:0 halves the colour resolution both ways: the smallest and fastest
// layout, the one camera and encoder Motion JPEG mostly uses, and decoded by
// every Motion JPEG player.
constexpr int kSubsampling = TJSAMP_420;

CMjpegEncoder::~CMjpegEncoder()
{
    if (m_pBuffer)
        tjFree(m_pBuffer);
    if (m_hCompressor)
        tjDestroy(m_hCompressor);
}

bool CMjpegEncoder::Init(int nWidth, int nHeight, int nQuality)
{
    if (nWidth <= 0 || nHeight <= 0 || nQuality < 1 || nQuality > 100) {
        m_strError = "Invalid picture size or quality.";
        return false;
    }
    if (!m_hCompressor) {
        m_hCompressor = tjInitCompress();
        if (!m_hCompressor) {
            m_strError = tjGetErrorStr2(nullptr);
            return false;
        }
    }
    const unsigned long nSize = tjBufSize(nWidth, nHeight, kSubsampling);
    if (nSize == static_cast<unsigned long>(-1)) {
        m_strError = tjGetErrorStr2(nullptr);
        return false;
    }
    if (m_pBuffer)
        tjFree(m_pBuffer);
    m_pBuffer = tjAlloc(static_cast<int>(nSize > 0x7FFFFFFFul ? 0 : nSize));
    if (!m_pBuffer || nSize > 0x7FFFFFFFul) {
        m_pBuffer = nullptr;
        m_strError = "Out of memory for the JPEG buffer.";
        return false;
    }
    m_nBufferSize = nSize;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nQuality = nQuality;
    return true;
}

bool CMjpegEncoder::Encode(const BYTE* pPixels, int nPitch, EncodedFrame* pOut)
{
    if (!m_hCompressor || !m_pBuffer || !pPixels) {
        m_strError = "The encoder is not ready.";
        return false;
    }
    unsigned char* pJpeg = m_pBuffer;
    unsigned long nSize = m_nBufferSize;
    // The buffer holds the worst case for this size, so it never grows.
    const int nResult = tjCompress2(m_hCompressor, pPixels, m_nWidth, nPitch, m_nHeight, TJPF_BGR, &pJpeg, &nSize,
                                    kSubsampling, m_nQuality, TJFLAG_BOTTOMUP | TJFLAG_NOREALLOC);
    if (nResult != 0) {
        m_strError = tjGetErrorStr2(m_hCompressor);
        return false;
    }
    *pOut = EncodedFrame{pJpeg, nSize, true};
    return true;
}
