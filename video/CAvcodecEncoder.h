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

// Encodes bottom-up BGR frames through an encoder of the installed libavcodec,
// one frame in and exactly one compressed frame out:
// - H.264 (libx264): 4:2:0 with BT.709 colours, no B-frames and no
//   look-ahead, a key frame at the start and at least every 250 frames,
//   quality 1..100 mapped onto the constant rate factor, four slices made
//   on four threads whatever the machine. The sequence and
//   picture parameter sets are repeated in every key frame (an Annex B byte
//   stream, as AVI readers expect), or, with a global header, kept once in
//   StreamHeader() for the container (MP4);
// - FFV1 version 3: lossless in 8-bit BGR, every frame a key frame, so the
//   decoded frames equal the input byte for byte; each frame in the settings'
//   number of slices, each with a CRC, compressed by a thread per core. Its
//   parameters are in StreamHeader(), for the container.
class CAvcodecEncoder : public IFrameEncoder {
public:
    enum class Kind { H264, Ffv1 };

    CAvcodecEncoder() = default;
    ~CAvcodecEncoder() override;

    CAvcodecEncoder(const CAvcodecEncoder&) = delete;
    CAvcodecEncoder& operator=(const CAvcodecEncoder&) = delete;

    static EngineResult<std::unique_ptr<IFrameEncoder>> MakeH264(const EncoderSettings& settings);
    static EngineResult<std::unique_ptr<IFrameEncoder>> MakeFfv1(const EncoderSettings& settings);

    // Opens the encoder for the settings' frames. pszEncoder names the
    // libavcodec encoder, null for the one of kind. An empty text, or why the
    // encoder is missing or refuses the size or the options.
    std::string Init(Kind kind, const EncoderSettings& settings, const char* pszEncoder = nullptr);

    EngineResult<EncodedFrame> Encode(const std::uint8_t* pPixels, std::int32_t nPitch) override;
    std::span<const std::uint8_t> StreamHeader() const override;

    // The constant rate factor H.264 uses at a quality of 1..100.
    static double RateFactorForQuality(std::int32_t nQuality);

private:
    std::string Fail(const std::string& strWhat, int nAvError) const;
    bool ConvertFrame(const std::uint8_t* pPixels, std::int32_t nPitch);
    void ConvertToYuv420(const std::uint8_t* pTop, std::ptrdiff_t nRowStep);

    Kind m_kind = Kind::H264;
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    long long m_nFrames = 0;
    AVCodecContext* m_pContext = nullptr;
    AVFrame* m_pFrame = nullptr;
    AVPacket* m_pPacket = nullptr;
    // Two rows of pixels split into their colour planes, for the conversion.
    std::vector<std::uint8_t> m_planes;
};
