// The FFV1 encoder against libavcodec's decoder, on pictures that take each
// of its paths: noise (escaped codes, long codes), flat areas (runs, across
// lines and to a line's end, where one sample of the run is left over; runs
// of all lengths broken by dots, in flat and in sloping neighbourhoods), a
// one-pixel checkerboard (residues wrapping around the sample range),
// gradients; on sizes down to a pixel, where the grid of slices shrinks (a
// grid of 2 × 3 slices carries over a byte in the header's range coder). A frame decoded otherwise than it was given, a CRC
// the decoder refuses, or a frame whose bytes depend on the frames before it
// (they are compressed by separate encoders, in any order) fails.

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <random>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

// Local
#include "video/CFfv1Encoder.h"

namespace {

enum class Kind { Noise, Flat, Checker, Gradient, Dots };

struct Ffv1Case {
    const char* m_pszName;
    int m_nWidth, m_nHeight;
    Kind m_kind;
};

std::vector<std::uint8_t> Picture(const Ffv1Case& c, unsigned nSeed)
{
    std::mt19937 random(nSeed);
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(c.m_nWidth) * c.m_nHeight * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i) {
        const std::size_t x = i / 3 % static_cast<std::size_t>(c.m_nWidth), y = i / 3 / c.m_nWidth, ch = i % 3;
        // Dots: columns flat, then ramps, with dots here and there; all
        // but the dots predicted exactly, so runs cross into the ramps.
        const std::size_t r = random(), nFlat = 77 + nSeed, nRamp = x % 20 < 10 ? 0 : (x % 20 - 9) * 9;
        const std::size_t nValue[] = {r, nFlat, (x + y) % 2 * 255 ^ ch * 90, x * 3 + y * 5 * ch + nSeed,
                                      nFlat + nRamp + ch * 11 + (r % 29 == 0) * 60};
        bgr[i] = static_cast<std::uint8_t>(nValue[static_cast<int>(c.m_kind)]);
    }
    return bgr;
}

std::string g_strComplaints;

// The frames decoded by libavcodec, bottom-up BGR as they were given.
std::vector<std::uint8_t> Decode(std::span<const std::uint8_t> header, const std::vector<std::uint8_t>& frame,
                                 int nWidth, int nHeight)
{
    AVCodecContext* pContext = avcodec_alloc_context3(avcodec_find_decoder(AV_CODEC_ID_FFV1));
    pContext->width = nWidth;
    pContext->height = nHeight;
    pContext->extradata = static_cast<std::uint8_t*>(av_mallocz(header.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    std::copy(header.begin(), header.end(), pContext->extradata);
    pContext->extradata_size = static_cast<int>(header.size());
    std::vector<std::uint8_t> bgr;
    AVPacket* pPacket = av_packet_alloc();
    AVFrame* pFrame = av_frame_alloc();
    if (avcodec_open2(pContext, pContext->codec, nullptr) == 0 &&
        av_new_packet(pPacket, static_cast<int>(frame.size())) == 0) {
        std::copy(frame.begin(), frame.end(), pPacket->data);
        if (avcodec_send_packet(pContext, pPacket) == 0 && avcodec_receive_frame(pContext, pFrame) == 0 &&
            pFrame->format == AV_PIX_FMT_0RGB32)
            for (int y = nHeight - 1; y >= 0; --y)
                for (int x = 0; x < nWidth; ++x)
                    bgr.insert(bgr.end(), pFrame->data[0] + y * pFrame->linesize[0] + 4 * x,
                               pFrame->data[0] + y * pFrame->linesize[0] + 4 * x + 3);
    }
    av_frame_free(&pFrame);
    av_packet_free(&pPacket);
    avcodec_free_context(&pContext);
    return bgr;
}

class Ffv1EncoderTest : public ::testing::TestWithParam<Ffv1Case> {};

TEST_P(Ffv1EncoderTest, FramesDecodeByteForByteAndStandAlone)
{
    const Ffv1Case& c = GetParam();
    CFfv1Encoder first, fresh;
    ASSERT_EQ(first.Init(c.m_nWidth, c.m_nHeight, 16) + fresh.Init(c.m_nWidth, c.m_nHeight, 16), "");
    av_log_set_callback([](void*, int nLevel, const char* pszFormat, va_list args) {
        char sz[256];
        if (nLevel <= AV_LOG_ERROR && std::vsnprintf(sz, sizeof sz, pszFormat, args) > 0)
            g_strComplaints += sz;
    });
    g_strComplaints.clear();
    for (unsigned nSeed : {1u, 2u}) {
        const std::vector<std::uint8_t> picture = Picture(c, nSeed);
        const EncodedFrame encoded = first.Encode(picture.data(), c.m_nWidth * 3).Value();
        const std::vector<std::uint8_t> bytes(encoded.m_pData, encoded.m_pData + encoded.m_nSize);
        EXPECT_TRUE(Decode(first.StreamHeader(), bytes, c.m_nWidth, c.m_nHeight) == picture) << nSeed;
        if (nSeed == 2) {
            const EncodedFrame alone = fresh.Encode(picture.data(), c.m_nWidth * 3).Value();
            EXPECT_TRUE(bytes == std::vector<std::uint8_t>(alone.m_pData, alone.m_pData + alone.m_nSize));
        }
    }
    av_log_set_callback(av_log_default_callback);
    EXPECT_EQ(g_strComplaints, "");
}

INSTANTIATE_TEST_SUITE_P(
    PicturesAndSizes, Ffv1EncoderTest,
    ::testing::Values(Ffv1Case{"OnePixel", 1, 1, Kind::Noise}, Ffv1Case{"OneColumn", 1, 40, Kind::Checker},
                      Ffv1Case{"TwoByThree", 2, 3, Kind::Gradient}, Ffv1Case{"CheckerFourRows", 36, 4, Kind::Checker},
                      Ffv1Case{"NoiseOddSize", 333, 17, Kind::Noise}, Ffv1Case{"FlatWide", 2056, 9, Kind::Flat},
                      Ffv1Case{"Gradient", 64, 48, Kind::Gradient}, Ffv1Case{"DotsOnFlat", 64, 48, Kind::Dots}),
    [](const auto& info) { return std::string(info.param.m_pszName); });

} // namespace
