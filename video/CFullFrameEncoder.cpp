#include "video/CFullFrameEncoder.h"

EngineResult<std::unique_ptr<IFrameEncoder>> CFullFrameEncoder::Make(const EncoderSettings& settings)
{
    return std::unique_ptr<IFrameEncoder>(std::make_unique<CFullFrameEncoder>(settings.m_nHeight));
}

EngineResult<EncodedFrame> CFullFrameEncoder::Encode(const std::uint8_t* pPixels, std::int32_t nPitch)
{
    if (!pPixels || nPitch < 0)
        return EngineError{EngineErrorCode::EncodeFailed, "The frame is missing or its rows are too short."};
    return EncodedFrame{pPixels, static_cast<std::size_t>(nPitch) * static_cast<std::size_t>(m_nHeight), true};
}
