#pragma once

#include <cstddef>
#include <string>

// Local
#include "platform/avi/IFrameEncoder.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

// Encodes bottom-up BGR frames through an encoder of the installed libavcodec,
// one frame in and exactly one compressed frame out:
// - H.264 (libx264): 4:2:0 with BT.709 colours, no B-frames and no
//   look-ahead, a key frame at the start and at least every 250 frames, the
//   sequence and picture parameter sets repeated in every key frame (an
//   Annex B byte stream, as AVI readers expect), quality 1..100 mapped onto
//   the constant rate factor;
// - FFV1: lossless in 8-bit BGR, every frame a key frame, so the decoded
//   frames equal the input byte for byte.
class CAvcodecEncoder : public IFrameEncoder {
public:
    enum class Kind { H264, Ffv1 };

    CAvcodecEncoder() = default;
    ~CAvcodecEncoder() override;

    CAvcodecEncoder(const CAvcodecEncoder&) = delete;
    CAvcodecEncoder& operator=(const CAvcodecEncoder&) = delete;

    // Opens the encoder for nWidth × nHeight frames at dwRate / dwScale
    // frames per second. pszEncoder names the libavcodec encoder, null for
    // the one of kind. False when the encoder is missing or refuses the size
    // or the options, with the reason in LastError().
    bool Init(Kind kind, int nWidth, int nHeight, int nQuality, DWORD dwRate, DWORD dwScale,
              const char* pszEncoder = nullptr);

    bool Encode(const BYTE* pPixels, int nPitch, EncodedFrame* pOut) override;
    const std::string& LastError() const override { return m_strError; }

    // The constant rate factor H.264 uses at a quality of 1..100.
    static double RateFactorForQuality(int nQuality);

private:
    bool Fail(const std::string& strWhat, int nAvError);
    bool ConvertFrame(const BYTE* pPixels, int nPitch);
    void ConvertToYuv420(const BYTE* pTop, std::ptrdiff_t nRowStep);

    Kind m_kind = Kind::H264;
    int m_nWidth = 0;
    int m_nHeight = 0;
    long long m_nFrames = 0;
    AVCodecContext* m_pContext = nullptr;
    AVFrame* m_pFrame = nullptr;
    AVPacket* m_pPacket = nullptr;
    std::string m_strError;
};
