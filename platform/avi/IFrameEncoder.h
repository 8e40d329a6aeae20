#pragma once

#include <cstddef>
#include <string>

// Local
#include "platform/win/WinTypes.h"

// One compressed frame. The bytes stay valid until the next Encode on the same encoder.
struct EncodedFrame {
    const BYTE* m_pData = nullptr;
    std::size_t m_nSize = 0;
    bool m_bKeyFrame = true;
};

// Compresses bottom-up 24-bit BGR frames of one size, one after another.
class IFrameEncoder {
public:
    virtual ~IFrameEncoder() = default;
    // Encodes one frame whose rows are nPitch bytes apart, bottom row first. False on
    // failure, with the reason in LastError().
    virtual bool Encode(const BYTE* pPixels, int nPitch, EncodedFrame* pOut) = 0;
    virtual const std::string& LastError() const = 0;
};
