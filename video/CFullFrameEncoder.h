#pragma once

// Local
#include "engine/IFrameEncoder.h"
#include "video/VideoCodec.h"

// Hands canvas frames on uncompressed: their bottom-up BGR rows, whose width
// is a multiple of four pixels, are already laid out as a device-independent
// bitmap's, so every frame passes through without a copy.
class CFullFrameEncoder : public IFrameEncoder {
public:
    explicit CFullFrameEncoder(std::int32_t nHeight) : m_nHeight(nHeight) {}

    static EngineResult<std::unique_ptr<IFrameEncoder>> Make(const EncoderSettings& settings);

    EngineResult<EncodedFrame> Encode(const std::uint8_t* pPixels, std::int32_t nPitch) override;

private:
    std::int32_t m_nHeight;
};
