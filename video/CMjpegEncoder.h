#pragma once

#include <cstddef>
#include <string>

// Local
#include "engine/IFrameEncoder.h"
#include "video/VideoCodec.h"

// Encodes bottom-up BGR pictures of one size as complete baseline JPEG
// pictures (4:2:0, with their quantisation and Huffman tables) through
// TurboJPEG, into one buffer reused for every picture.
class CMjpegEncoder : public IFrameEncoder {
public:
    CMjpegEncoder() = default;
    ~CMjpegEncoder() override;

    CMjpegEncoder(const CMjpegEncoder&) = delete;
    CMjpegEncoder& operator=(const CMjpegEncoder&) = delete;

    static EngineResult<std::unique_ptr<IFrameEncoder>> Make(const EncoderSettings& settings);

    // Prepares for nWidth × nHeight pictures at quality 1..100; an empty
    // text, or the reason it cannot.
    std::string Init(std::int32_t nWidth, std::int32_t nHeight, std::int32_t nQuality);

    // Every picture stands alone, so each is a key frame.
    EngineResult<EncodedFrame> Encode(const std::uint8_t* pPixels, std::int32_t nPitch) override;

private:
    void* m_hCompressor = nullptr;
    std::uint8_t* m_pBuffer = nullptr;
    unsigned long m_nBufferSize = 0;
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    std::int32_t m_nQuality = 0;
};
