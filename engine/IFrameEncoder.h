#pragma once

// Compresses the frames of one video, one after another. The frame pipeline
// drives encoders; the video folder makes them for each codec and container.

#include <cstddef>
#include <cstdint>
#include <span>

// Local
#include "engine/EngineResult.h"

// One compressed frame. The bytes stay valid until the next Encode on the
// same encoder, or, when they are the pixels handed in, as long as those.
struct EncodedFrame {
    const std::uint8_t* m_pData = nullptr;
    std::size_t m_nSize = 0;
    bool m_bKeyFrame = true;
};

class IFrameEncoder {
public:
    virtual ~IFrameEncoder() = default;

    // Encodes one canvas-sized frame whose rows are nPitch bytes apart,
    // bottom row first; EncodeFailed with the encoder's reason on failure.
    virtual EngineResult<EncodedFrame> Encode(const std::uint8_t* pPixels, std::int32_t nPitch) = 0;

    // What a container keeps once in its header for the decoder (H.264's
    // parameter sets when they are not repeated in the frames); empty
    // for most encoders.
    virtual std::span<const std::uint8_t> StreamHeader() const { return {}; }
};
