#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Local
#include "engine/IFrameEncoder.h"
#include "video/VideoCodec.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

// Encodes bottom-up BGR frames as H.264 through libx264 in the installed
// libavcodec, one frame in and exactly one compressed frame out: 4:2:0 with
// BT.709 colours, no B-frames and no look-ahead, a key frame at the start and
// at least every 250 frames, quality 1..100 mapped onto the constant rate
// factor, four slices made on four threads whatever the machine. The
// sequence and picture parameter sets are repeated in every key frame (an
// Annex B byte stream, as AVI readers expect), or, with a global header, kept
// once in StreamHeader() for the container (MP4).
class CAvcodecEncoder : public IFrameEncoder {
public:
    CAvcodecEncoder() = default;
    ~CAvcodecEncoder() override;

    CAvcodecEncoder(const CAvcodecEncoder&) = delete;
    CAvcodecEncoder& operator=(const CAvcodecEncoder&) = delete;

    static EngineResult<std::unique_ptr<IFrameEncoder>> MakeH264(const EncoderSettings& settings);

    // Opens the encoder for the settings' frames; an empty text, or why the
    // encoder is missing or refuses the size or the options.
    std::string Init(const EncoderSettings& settings);

    EngineResult<EncodedFrame> Encode(const std::uint8_t* pPixels, std::int32_t nPitch) override;
    std::span<const std::uint8_t> StreamHeader() const override;

    // The constant rate factor H.264 uses at a quality of 1..100.
    static double RateFactorForQuality(std::int32_t nQuality);

private:
    std::string Fail(const std::string& strWhat, int nAvError) const;
    void ConvertToYuv420(const std::uint8_t* pTop, std::ptrdiff_t nRowStep);

    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    long long m_nFrames = 0;
    AVCodecContext* m_pContext = nullptr;
    AVFrame* m_pFrame = nullptr;
    AVPacket* m_pPacket = nullptr;
    // Two rows of pixels split into their colour planes, for the conversion.
    std::vector<std::uint8_t> m_planes;
};
