#include "video/CAvcodecEncoder.h"

#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

// Local
#include "video/AvComplaints.h"

namespace {

// H.264 key frames come at least this often, so a player seeking in a long
// animation never decodes more than ten seconds of frames at 25 fps.
constexpr int kH264KeyInterval = 250;

// x264's settings, measured on dissolves of photographs
// (bench/video/codecs.sh). The fastest preset with the sub-pixel search of
// the next one, which makes smooth pictures a quarter smaller; slower presets
// pass three times Motion JPEG's time for little more. Adaptive quantisation,
// which takes bits from detail to flat areas, costs photographs a decibel at
// the same size; the colour planes, halved in each direction, get a finer
// quantiser than the light.
constexpr const char* kH264Preset = "superfast";
constexpr const char* kH264Params = "subme=2:aq-mode=0:chroma-qp-offset=-6";
// x264 cuts each frame into one slice per thread, so its thread count is part
// of the file: fixed, the bytes are the same on every machine and for any
// number of frame-making threads.
constexpr int kH264Threads = 4;

// BT.709 in studio range, in 16-bit fixed point: luma from R, G, B, then the
// blue and red differences. The sums of each row are 219/255 and 0.
constexpr int kYr = 11966, kYg = 40254, kYb = 4064;
constexpr int kUr = -6596, kUg = -22189, kUb = 28785;
constexpr int kVr = 28785, kVg = -26145, kVb = -2640;

// The colour conversion, one row or pair of rows at a time over separate
// planes, so that every loop has plain strides; built for AVX2 as well, and
// the processor's best is taken when the program starts.
#define PLAVEX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))

// The blue, green and red of nWidth BGR pixels, each into a plane of its own.
PLAVEX_VECTOR_CLONES void SplitBgrRow(const std::uint8_t* pBgr, std::uint8_t* pB, std::uint8_t* pG, std::uint8_t* pR,
                                      int nWidth)
{
    for (int x = 0; x < nWidth; ++x) {
        pB[x] = pBgr[3 * x];
        pG[x] = pBgr[3 * x + 1];
        pR[x] = pBgr[3 * x + 2];
    }
}

PLAVEX_VECTOR_CLONES void LumaRow(const std::uint8_t* pB, const std::uint8_t* pG, const std::uint8_t* pR,
                                  std::uint8_t* pY, int nWidth)
{
    for (int x = 0; x < nWidth; ++x)
        pY[x] = static_cast<std::uint8_t>((kYr * pR[x] + kYg * pG[x] + kYb * pB[x] + (16 << 16) + 32768) >> 16);
}

// The chroma of two rows split into planes (blue, green, red of the upper
// row, then of the lower one), each sample from the sums of its 2 × 2 pixels.
// No two of the three areas overlap.
PLAVEX_VECTOR_CLONES void ChromaRows(const std::uint8_t* __restrict pPlanes, std::uint8_t* __restrict pU,
                                     std::uint8_t* __restrict pV, int nWidth)
{
    const std::uint8_t *pB0 = pPlanes, *pG0 = pB0 + nWidth, *pR0 = pG0 + nWidth;
    const std::uint8_t *pB1 = pR0 + nWidth, *pG1 = pB1 + nWidth, *pR1 = pG1 + nWidth;
    for (int x = 0; x < nWidth / 2; ++x) {
        const int b = pB0[2 * x] + pB0[2 * x + 1] + pB1[2 * x] + pB1[2 * x + 1];
        const int g = pG0[2 * x] + pG0[2 * x + 1] + pG1[2 * x] + pG1[2 * x + 1];
        const int r = pR0[2 * x] + pR0[2 * x + 1] + pR1[2 * x] + pR1[2 * x + 1];
        pU[x] = static_cast<std::uint8_t>((kUr * r + kUg * g + kUb * b + (128 << 18) + (1 << 17)) >> 18);
        pV[x] = static_cast<std::uint8_t>((kVr * r + kVg * g + kVb * b + (128 << 18) + (1 << 17)) >> 18);
    }
}

} // namespace

CAvcodecEncoder::~CAvcodecEncoder()
{
    av_packet_free(&m_pPacket);
    av_frame_free(&m_pFrame);
    avcodec_free_context(&m_pContext);
}

EngineResult<std::unique_ptr<IFrameEncoder>> CAvcodecEncoder::MakeH264(const EncoderSettings& settings)
{
    auto pEncoder = std::make_unique<CAvcodecEncoder>();
    if (const std::string strWhy = pEncoder->Init(settings); !strWhy.empty())
        return EngineError{EngineErrorCode::EncodeFailed, strWhy};
    return std::unique_ptr<IFrameEncoder>(std::move(pEncoder));
}

double CAvcodecEncoder::RateFactorForQuality(std::int32_t nQuality)
{
    // A straight line from 51, the coarsest, at quality 1 to 19 at 90, where
    // a dissolve of two photographs keeps 40 dB against the blended frames
    // in an eighth of Motion JPEG's size (bench/video/codecs.sh).
    return 51.0 - (nQuality - 1) * 32.0 / 89.0;
}

std::string CAvcodecEncoder::Fail(const std::string& strWhat, int nAvError) const
{
    return strWhat + (nAvError < 0 ? " (" + AvComplaint(nAvError) + ")." : ".");
}

std::string CAvcodecEncoder::Init(const EncoderSettings& settings)
{
    if (m_pContext)
        return Fail("The encoder is already open", 0);
    KeepAvComplaints();
    const std::int32_t nWidth = settings.m_nWidth, nHeight = settings.m_nHeight, nQuality = settings.m_nQuality;
    const AVCodec* pCodec = avcodec_find_encoder_by_name("libx264");
    if (!pCodec)
        return Fail("The H.264 encoder \"libx264\" is missing from the installed libavcodec", 0);
    if (nWidth <= 0 || nHeight <= 0 || nQuality < 1 || nQuality > 100 ||
        settings.m_nRate <= 0 || settings.m_nScale <= 0)
        return Fail("Invalid picture size, quality or frame rate", 0);

    m_pContext = avcodec_alloc_context3(pCodec);
    m_pFrame = av_frame_alloc();
    m_pPacket = av_packet_alloc();
    if (!m_pContext || !m_pFrame || !m_pPacket)
        return Fail("Out of memory for the encoder", AVERROR(ENOMEM));

    AVCodecContext& ctx = *m_pContext;
    ctx.width = nWidth;
    ctx.height = nHeight;
    // Frames are numbered; H.264 writes this rate into its stream.
    ctx.time_base = AVRational{settings.m_nScale, settings.m_nRate};
    ctx.framerate = AVRational{settings.m_nRate, settings.m_nScale};
    ctx.sample_aspect_ratio = AVRational{1, 1};
    // Without a global header every key frame carries what a decoder needs.
    if (settings.m_bGlobalHeader)
        ctx.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* pOptions = nullptr;
    ctx.pix_fmt = AV_PIX_FMT_YUV420P;
    ctx.color_range = AVCOL_RANGE_MPEG;
    ctx.colorspace = AVCOL_SPC_BT709;
    ctx.color_primaries = AVCOL_PRI_BT709;
    ctx.color_trc = AVCOL_TRC_BT709;
    ctx.gop_size = kH264KeyInterval;
    ctx.max_b_frames = 0;
    ctx.thread_count = kH264Threads;
    char szCrf[32];
    std::snprintf(szCrf, sizeof szCrf, "%.2f", RateFactorForQuality(nQuality));
    av_dict_set(&pOptions, "preset", kH264Preset, 0);
    // Zero latency: no B-frames, no look-ahead and threads within a
    // frame, so each frame given comes straight back compressed. Threads
    // across frames would hold frames back and were no faster than one
    // thread, where slices were (bench/video/h264_threads.sh).
    av_dict_set(&pOptions, "tune", "zerolatency", 0);
    av_dict_set(&pOptions, "crf", szCrf, 0);
    av_dict_set(&pOptions, "x264-params", kH264Params, 0);
    const int nOpen = avcodec_open2(m_pContext, pCodec, &pOptions);
    const bool bUnusedOptions = av_dict_count(pOptions) != 0;
    av_dict_free(&pOptions);
    if (nOpen < 0)
        return Fail(std::string("The H.264 encoder refused the picture size ") + std::to_string(nWidth) +
                        "×" + std::to_string(nHeight) + " or its options",
                    nOpen);
    if (bUnusedOptions)
        return Fail("The H.264 encoder does not take the options it needs", 0);

    m_pFrame->format = ctx.pix_fmt;
    m_pFrame->width = nWidth;
    m_pFrame->height = nHeight;
    if (const int nErr = av_frame_get_buffer(m_pFrame, 0); nErr < 0)
        return Fail("Out of memory for the encoder's frame", nErr);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_planes.resize(static_cast<std::size_t>(nWidth) * 6);
    return {};
}

std::span<const std::uint8_t> CAvcodecEncoder::StreamHeader() const
{
    if (!m_pContext || m_pContext->extradata_size <= 0)
        return {};
    return {m_pContext->extradata, static_cast<std::size_t>(m_pContext->extradata_size)};
}

void CAvcodecEncoder::ConvertToYuv420(const std::uint8_t* pTop, std::ptrdiff_t nRowStep)
{
    // Luma per pixel; each chroma sample from the mean of its 2 × 2 pixels.
    // H.264 in 4:2:0 takes even sizes only, which the encoder has checked.
    // The conversion runs on the thread that writes the file, before every
    // frame; each pair of rows goes through straight loops over planes,
    // which the compiler turns into vector code.
    const int nWidth = m_nWidth;
    std::uint8_t* pPlanes = m_planes.data();
    for (int y = 0; y + 1 < m_nHeight; y += 2) {
        for (int i = 0; i < 2; ++i) {
            std::uint8_t* pRow = pPlanes + 3 * i * nWidth;
            SplitBgrRow(pTop + nRowStep * (y + i), pRow, pRow + nWidth, pRow + 2 * nWidth, nWidth);
            LumaRow(pRow, pRow + nWidth, pRow + 2 * nWidth,
                    m_pFrame->data[0] + static_cast<std::ptrdiff_t>(m_pFrame->linesize[0]) * (y + i), nWidth);
        }
        ChromaRows(pPlanes, m_pFrame->data[1] + static_cast<std::ptrdiff_t>(m_pFrame->linesize[1]) * (y / 2),
                   m_pFrame->data[2] + static_cast<std::ptrdiff_t>(m_pFrame->linesize[2]) * (y / 2), nWidth);
    }
}

EngineResult<EncodedFrame> CAvcodecEncoder::Encode(const std::uint8_t* pPixels, std::int32_t nPitch)
{
    const auto failure = [](const std::string& strWhy) { return EngineError{EngineErrorCode::EncodeFailed, strWhy}; };
    if (!m_pContext || !avcodec_is_open(m_pContext) || !pPixels || nPitch < m_nWidth * 3)
        return failure(Fail("The encoder is not ready", 0));
    av_packet_unref(m_pPacket);
    KeepAvComplaints();
    if (av_frame_make_writable(m_pFrame) < 0)
        return failure(Fail("Out of memory for the encoder's frame", AVERROR(ENOMEM)));
    // The input is bottom-up; the encoder takes the top row first.
    ConvertToYuv420(pPixels + static_cast<std::ptrdiff_t>(m_nHeight - 1) * nPitch, -nPitch);
    m_pFrame->pts = m_nFrames;
    if (const int nErr = avcodec_send_frame(m_pContext, m_pFrame); nErr < 0)
        return failure(Fail("The encoder could not take frame " + std::to_string(m_nFrames), nErr));
    // With no B-frames and no look-ahead the frame comes straight back.
    if (const int nErr = avcodec_receive_packet(m_pContext, m_pPacket); nErr < 0)
        return failure(Fail("The encoder gave nothing back for frame " + std::to_string(m_nFrames), nErr));
    ++m_nFrames;
    return EncodedFrame{m_pPacket->data, static_cast<std::size_t>(m_pPacket->size),
                        (m_pPacket->flags & AV_PKT_FLAG_KEY) != 0};
}
