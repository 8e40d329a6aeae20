#include "video/CMjpegEncoder.h"

#include <turbojpeg.h>

namespace {

// 4:2:0 halves the colour resolution both ways: the smallest and fastest
// layout, the one camera and encoder Motion JPEG mostly uses, and decoded by
// every Motion JPEG player.
constexpr int kSubsampling = TJSAMP_420;

EngineError Failure(const std::string& strWhy)
{
    return {EngineErrorCode::EncodeFailed, strWhy};
}

} // namespace

CMjpegEncoder::~CMjpegEncoder()
{
    if (m_pBuffer)
        tjFree(m_pBuffer);
    if (m_hCompressor)
        tjDestroy(m_hCompressor);
}

EngineResult<std::unique_ptr<IFrameEncoder>> CMjpegEncoder::Make(const EncoderSettings& settings)
{
    auto pEncoder = std::make_unique<CMjpegEncoder>();
    if (const std::string strWhy = pEncoder->Init(settings.m_nWidth, settings.m_nHeight, settings.m_nQuality);
        !strWhy.empty())
        return Failure(strWhy);
    return std::unique_ptr<IFrameEncoder>(std::move(pEncoder));
}

std::string CMjpegEncoder::Init(std::int32_t nWidth, std::int32_t nHeight, std::int32_t nQuality)
{
    if (nWidth <= 0 || nHeight <= 0 || nQuality < 1 || nQuality > 100)
        return "Invalid picture size or quality.";
    if (!m_hCompressor) {
        m_hCompressor = tjInitCompress();
        if (!m_hCompressor)
            return tjGetErrorStr2(nullptr);
    }
    const unsigned long nSize = tjBufSize(nWidth, nHeight, kSubsampling);
    if (nSize == static_cast<unsigned long>(-1))
        return tjGetErrorStr2(nullptr);
    if (m_pBuffer)
        tjFree(m_pBuffer);
    m_pBuffer = nSize > 0x7FFFFFFFul ? nullptr : tjAlloc(static_cast<int>(nSize));
    if (!m_pBuffer)
        return "Out of memory for the JPEG buffer.";
    m_nBufferSize = nSize;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nQuality = nQuality;
    return {};
}

EngineResult<EncodedFrame> CMjpegEncoder::Encode(const std::uint8_t* pPixels, std::int32_t nPitch)
{
    if (!m_hCompressor || !m_pBuffer || !pPixels)
        return Failure("The encoder is not ready.");
    unsigned char* pJpeg = m_pBuffer;
    unsigned long nSize = m_nBufferSize;
    // The buffer holds the worst case for this size, so it never grows.
    if (tjCompress2(m_hCompressor, pPixels, m_nWidth, nPitch, m_nHeight, TJPF_BGR, &pJpeg, &nSize, kSubsampling,
                    m_nQuality, TJFLAG_BOTTOMUP | TJFLAG_NOREALLOC) != 0)
        return Failure(tjGetErrorStr2(m_hCompressor));
    return EncodedFrame{pJpeg, nSize, true};
}
