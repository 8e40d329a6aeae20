#pragma once

#include <vector>

// Local
#include "platform/avi/IFrameEncoder.h"

// Hands frames on uncompressed: bottom-up BGR rows padded to four bytes, as
// a device-independent bitmap lays them out. Frames whose rows are already
// laid out so pass through without a copy.
class CFullFrameEncoder : public IFrameEncoder {
public:
    CFullFrameEncoder(int nWidth, int nHeight);

    bool Encode(const BYTE* pPixels, int nPitch, EncodedFrame* pOut) override;
    const std::string& LastError() const override { return m_strError; }

private:
    int m_nRowBytes;
    int m_nStride;
    int m_nHeight;
    std::vector<BYTE> m_frame; // used only for frames of another pitch
    std::string m_strError;
};
