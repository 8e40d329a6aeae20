#pragma once

#include <cstddef>
#include <string>

// Local
#include "platform/avi/IFrameEncoder.h"

// Encodes bottom-up BGR pictures of one size as complete baseline JPEG
// pictures (4:2:0, with their quantisation and Huffman tables) through
// TurboJPEG, into one buffer reused for every picture.
class CMjpegEncoder : public IFrameEncoder {
public:
    CMjpegEncoder() = default;
    ~CMjpegEncoder() override;

    CMjpegEncoder(const CMjpegEncoder&) = delete;
    CMjpegEncoder& operator=(const CMjpegEncoder&) = delete;

    // Prepares for nWidth × nHeight pictures at quality 1..100. False on
    // failure, with the reason in LastError().
    bool Init(int nWidth, int nHeight, int nQuality);

    // Every picture stands alone, so each is a key frame.
    bool Encode(const BYTE* pPixels, int nPitch, EncodedFrame* pOut) override;
    const std::string& LastError() const override { return m_strError; }

private:
    void* m_hCompressor = nullptr;
    BYTE* m_pBuffer = nullptr;
    unsigned long m_nBufferSize = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nQuality = 0;
    std::string m_strError;
};
