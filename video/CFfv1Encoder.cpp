#include "video/CFfv1Encoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

extern "C" {
#include <libavutil/crc.h>
}

namespace {

// The encoder's coding choices, written into the stream header: version 3
// in its fourth revision, Golomb-Rice codes for the samples, RGB through the
// reversible colour transform at 8 bits, no alpha, CRCs, key frames only.
constexpr int kVersion = 3;
constexpr int kMicroVersion = 4;
constexpr int kGolombRice = 0;
constexpr int kColourspaceRgb = 1;
constexpr int kBitsPerSample = 8;
// The transform gives samples of one bit more: the light, and blue and red
// less green, offset by 256.
constexpr int kSampleBits = kBitsPerSample + 1;
constexpr int kColourOffset = 1 << kBitsPerSample;
constexpr int kProgressive = 3;

// The small context model: three neighbour differences, each quantised into
// 11 steps; a context and its mirror share one state, 666 in all. The
// larger model's tables are written too, as every stream carries both.
constexpr std::array<std::int8_t, 128> MakeQuant(const int (&limits)[6])
{
    // limits[i] is the first difference that quantises to i.
    std::array<std::int8_t, 128> q{};
    for (int d = 0; d < 128; ++d) {
        int n = 0;
        while (n < 5 && d >= limits[n + 1])
            ++n;
        q[static_cast<std::size_t>(d)] = static_cast<std::int8_t>(n);
    }
    return q;
}
constexpr int kQuant11Limits[6] = {0, 1, 2, 5, 12, 35};
constexpr int kQuant5Limits[6] = {0, 1, 4, 128, 128, 128};
constexpr std::array<std::int8_t, 128> kQuant11 = MakeQuant(kQuant11Limits);
constexpr std::array<std::int8_t, 128> kQuant5 = MakeQuant(kQuant5Limits);
constexpr int kContexts = (11 * 11 * 11 + 1) / 2;

#define PLAVEX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))

// Sixteen samples side by side.
using Samples16 = std::int16_t __attribute__((vector_size(32)));
using Bits16 = std::uint16_t __attribute__((vector_size(32)));
constexpr std::int32_t kLanes = 16;

// For one line of a plane: each sample's context (made positive, mirroring
// the residue with it) and its residue against the median predictor, both
// known before any coding because the encoder sees the whole line. Sixteen
// samples at a time; the rows and the outputs have room for the last
// sixteen to reach past the line.
PLAVEX_VECTOR_CLONES void PredictLine(const std::int16_t* pCur, const std::int16_t* pPrev, std::int32_t w,
                                      std::int16_t* pContext, std::int16_t* pResidue)
{
    // Sixteen differences, each taken modulo 256 as the codec takes them,
    // quantised into the small model's 11 steps: the bounds its magnitude
    // reaches, counted (a comparison is -1 where it holds), with its sign.
    // Vectors pass by reference, the same whatever the processor.
    const auto Quantise11x16 = [](const Samples16& nDifference, Samples16& q) {
        const Samples16 d = reinterpret_cast<Samples16>(reinterpret_cast<Bits16>(nDifference) << 8) >> 8,
                        nSign = d >> 15, a = (d ^ nSign) - nSign;
        q = ((-((a >= kQuant11Limits[1]) + (a >= kQuant11Limits[2]) + (a >= kQuant11Limits[3]) +
                (a >= kQuant11Limits[4]) + (a >= kQuant11Limits[5]))) ^
             nSign) -
            nSign;
    };
    for (std::int32_t x = 0; x < w; x += kLanes) {
        Samples16 nLeftTop, nTop, nRightTop, nLeft, nCur, q0, q1, q2;
        std::memcpy(&nLeftTop, pPrev + x - 1, sizeof nLeftTop);
        std::memcpy(&nTop, pPrev + x, sizeof nTop);
        std::memcpy(&nRightTop, pPrev + x + 1, sizeof nRightTop);
        std::memcpy(&nLeft, pCur + x - 1, sizeof nLeft);
        std::memcpy(&nCur, pCur + x, sizeof nCur);
        Quantise11x16(nLeft - nLeftTop, q0);
        Quantise11x16(nLeftTop - nTop, q1);
        Quantise11x16(nTop - nRightTop, q2);
        Samples16 nContext = q0 + 11 * q1 + 121 * q2;
        // The median of the left, the top and the gradient.
        const Samples16 nGradient = nLeft + nTop - nLeftTop;
        const Samples16 nLow = nLeft < nGradient ? nLeft : nGradient, nHigh = nLeft < nGradient ? nGradient : nLeft;
        const Samples16 nUpper = nHigh < nTop ? nHigh : nTop;
        const Samples16 nPrediction = nLow < nUpper ? nUpper : nLow;
        const Samples16 nSign = nContext >> 15;
        nContext = (nContext ^ nSign) - nSign;
        // Residues wrap around the nine-bit sample range.
        Samples16 nResidue = ((nCur - nPrediction) ^ nSign) - nSign;
        nResidue = reinterpret_cast<Samples16>(reinterpret_cast<Bits16>(nResidue) << 7) >> 7;
        std::memcpy(pContext + x, &nContext, sizeof nContext);
        std::memcpy(pResidue + x, &nResidue, sizeof nResidue);
    }
}

// The reversible colour transform of a row of BGR pixels: green plus a
// quarter of the two differences, then blue and red less green.
PLAVEX_VECTOR_CLONES void TransformRow(const std::uint8_t* __restrict pBgr, std::int32_t w, std::int16_t* __restrict pY,
                                       std::int16_t* __restrict pBlue, std::int16_t* __restrict pRed)
{
    for (std::int32_t x = 0; x < w; ++x) {
        const int b = pBgr[3 * x] - pBgr[3 * x + 1], g = pBgr[3 * x + 1], r = pBgr[3 * x + 2] - g;
        pY[x] = static_cast<std::int16_t>(g + ((b + r) >> 2));
        pBlue[x] = static_cast<std::int16_t>(b + kColourOffset);
        pRed[x] = static_cast<std::int16_t>(r + kColourOffset);
    }
}

// Run lengths of the run mode, as powers of two by the run index.
constexpr std::uint8_t kLog2Run[41] = {0, 0, 0,  0,  1,  1,  1,  1,  2,  2,  2,  2,  3,  3,  3,  3,  4,  4,  5,  5,  6,
                                       6, 7, 7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
// A line longer than this could take the run index past the table's end.
constexpr std::int32_t kMaxSliceWidth = 1 << 24;
// A slice's size is stored in 24 bits.
constexpr std::size_t kMaxSliceBytes = (std::size_t{1} << 24) - 1;

// The binary range coder of the headers, with the codec's default state
// transitions (adapting by 1/20 per bit, kept within 8/256 of the ends).
struct RangeStates {
    std::uint8_t m_one[256]{};
    std::uint8_t m_zero[256]{};
};

const RangeStates& DefaultStates()
{
    static const RangeStates states = [] {
        RangeStates s;
        constexpr std::int64_t kOne = std::int64_t{1} << 32;
        const auto nFactor = static_cast<std::int64_t>(0.05 * static_cast<double>(kOne));
        constexpr int kMaxP = 256 - 8;
        std::int64_t p = kOne / 2;
        int nLast = 0;
        for (int i = 0; i < 128; ++i) {
            int p8 = static_cast<int>((256 * p + kOne / 2) >> 32);
            if (p8 <= nLast)
                p8 = nLast + 1;
            if (nLast && nLast < 256 && p8 <= kMaxP)
                s.m_one[nLast] = static_cast<std::uint8_t>(p8);
            p += ((kOne - p) * nFactor + kOne / 2) >> 32;
            nLast = p8;
        }
        for (int i = 256 - kMaxP; i <= kMaxP; ++i) {
            if (s.m_one[i])
                continue;
            std::int64_t q = (i * kOne + 128) >> 8;
            q += ((kOne - q) * nFactor + kOne / 2) >> 32;
            int p8 = static_cast<int>((256 * q + kOne / 2) >> 32);
            p8 = std::min(std::max(p8, i + 1), kMaxP);
            s.m_one[i] = static_cast<std::uint8_t>(p8);
        }
        for (int i = 1; i < 255; ++i)
            s.m_zero[i] = static_cast<std::uint8_t>(256 - s.m_one[256 - i]);
        return s;
    }();
    return states;
}

class RangeWriter {
public:
    explicit RangeWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

    void Put(std::uint8_t& state, bool bBit)
    {
        const int nRange1 = (m_nRange * state) >> 8;
        if (!bBit) {
            m_nRange -= nRange1;
            state = m_states.m_zero[state];
        } else {
            m_nLow += m_nRange - nRange1;
            m_nRange = nRange1;
            state = m_states.m_one[state];
        }
        Renormalise();
    }

    // An integer in the codec's exponent-mantissa form, each bit position
    // with a state of its own among the 32 given.
    void PutSymbol(std::uint8_t* pStates, int v, bool bSigned = false)
    {
        if (!v) {
            Put(pStates[0], true);
            return;
        }
        const int a = std::abs(v);
        int e = 0;
        while ((a >> (e + 1)) != 0)
            ++e;
        Put(pStates[0], false);
        for (int i = 0; i < e; ++i)
            Put(pStates[1 + std::min(i, 9)], true);
        Put(pStates[1 + std::min(e, 9)], false);
        for (int i = e - 1; i >= 0; --i)
            Put(pStates[22 + std::min(i, 9)], ((a >> i) & 1) != 0);
        if (bSigned)
            Put(pStates[11 + std::min(e, 10)], v < 0);
    }

    // Ends the coded bytes; what follows starts on the next byte.
    void Terminate()
    {
        m_nRange = 0xFF;
        m_nLow += 0xFF;
        Renormalise();
        m_nRange = 0xFF;
        Renormalise();
    }

private:
    void Renormalise()
    {
        while (m_nRange < 0x100) {
            if (m_nOutstandingByte < 0) {
                m_nOutstandingByte = m_nLow >> 8;
            } else if (m_nLow <= 0xFF00) {
                m_out.push_back(static_cast<std::uint8_t>(m_nOutstandingByte));
                m_out.insert(m_out.end(), static_cast<std::size_t>(m_nOutstanding), 0xFF);
                m_nOutstanding = 0;
                m_nOutstandingByte = m_nLow >> 8;
            } else if (m_nLow >= 0x10000) {
                m_out.push_back(static_cast<std::uint8_t>(m_nOutstandingByte + 1));
                m_out.insert(m_out.end(), static_cast<std::size_t>(m_nOutstanding), 0x00);
                m_nOutstanding = 0;
                m_nOutstandingByte = (m_nLow >> 8) & 0xFF;
            } else {
                ++m_nOutstanding;
            }
            m_nLow = (m_nLow & 0xFF) << 8;
            m_nRange <<= 8;
        }
    }

    std::vector<std::uint8_t>& m_out;
    const RangeStates& m_states = DefaultStates();
    int m_nLow = 0;
    int m_nRange = 0xFF00;
    int m_nOutstanding = 0;
    int m_nOutstandingByte = -1;
};

// A quantisation table as the stream header carries it: the lengths of its
// runs of equal steps over the differences 0..127.
void PutQuantTable(RangeWriter& c, const std::array<std::int8_t, 128>& q, int nWeight)
{
    std::uint8_t states[32];
    std::memset(states, 128, sizeof states);
    int nLast = 0;
    for (int i = 1; i < 128; ++i)
        if (q[static_cast<std::size_t>(i)] * nWeight != q[static_cast<std::size_t>(i) - 1] * nWeight) {
            c.PutSymbol(states, i - nLast - 1);
            nLast = i;
        }
    c.PutSymbol(states, 128 - nLast - 1);
}

void PutCrc(std::vector<std::uint8_t>& out, std::size_t nFrom)
{
    // The codec's CRC-32 (polynomial 0x04C11DB7, not reflected), stored so
    // that the CRC of the whole part with it comes to zero.
    const std::uint32_t nCrc =
        av_crc(av_crc_get_table(AV_CRC_32_IEEE), 0, out.data() + nFrom, out.size() - nFrom);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(nCrc >> (8 * i)));
}

// Sign-extends the low nine bits: differences wrap around the sample range.
int Fold(int v)
{
    return static_cast<int>(static_cast<std::uint32_t>(v) << 23) >> 23;
}

// A context's state in one word: the drift (16 bits), the sum of the
// residues' sizes (16), the bias (8) and the count (8).
constexpr std::uint64_t PackState(int nDrift, int nErrorSum, int nBias, int nCount)
{
    return static_cast<std::uint16_t>(nDrift) | std::uint64_t{static_cast<std::uint16_t>(nErrorSum)} << 16 |
           std::uint64_t{static_cast<std::uint8_t>(nBias)} << 32 | std::uint64_t{static_cast<std::uint8_t>(nCount)} << 40;
}

EngineError Failure(const std::string& strWhy)
{
    return {EngineErrorCode::EncodeFailed, strWhy};
}

} // namespace

EngineResult<std::unique_ptr<IFrameEncoder>> CFfv1Encoder::Make(const EncoderSettings& settings)
{
    auto pEncoder = std::make_unique<CFfv1Encoder>();
    if (const std::string strWhy = pEncoder->Init(settings.m_nWidth, settings.m_nHeight, settings.m_nSlices);
        !strWhy.empty())
        return Failure(strWhy);
    return std::unique_ptr<IFrameEncoder>(std::move(pEncoder));
}

std::string CFfv1Encoder::Init(std::int32_t nWidth, std::int32_t nHeight, std::int32_t nSlices)
{
    int nSide = 1;
    while ((nSide + 1) * (nSide + 1) <= std::min(nSlices, 16))
        ++nSide;
    const std::int32_t nColumns = std::min(nSide, nWidth), nRows = std::min(nSide, nHeight);
    if (nWidth <= 0 || nHeight <= 0 || (nWidth + nColumns - 1) / nColumns > kMaxSliceWidth)
        return "Invalid picture size for FFV1.";
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nColumns = nColumns;
    m_nRows = nRows;
    const auto nSliceWidth = static_cast<std::size_t>((nWidth + nColumns - 1) / nColumns);
    try {
        m_slice.m_rows.assign(3 * 2 * (nSliceWidth + 6) + kLanes, 0);
        m_slice.m_states.resize(2 * kContexts);
        m_slice.m_context.resize(nSliceWidth + kLanes);
        m_slice.m_residue.resize(nSliceWidth + kLanes);
        m_header.clear();
    } catch (const std::bad_alloc&) {
        return "Out of memory for the FFV1 encoder.";
    }

    RangeWriter c(m_header);
    std::uint8_t states[32];
    std::memset(states, 128, sizeof states);
    c.PutSymbol(states, kVersion);
    c.PutSymbol(states, kMicroVersion);
    c.PutSymbol(states, kGolombRice);
    c.PutSymbol(states, kColourspaceRgb);
    c.PutSymbol(states, kBitsPerSample);
    c.Put(states[0], true);  // colour planes
    c.PutSymbol(states, 0);  // no chroma subsampling across,
    c.PutSymbol(states, 0);  // nor down
    c.Put(states[0], false); // no alpha
    c.PutSymbol(states, nColumns - 1);
    c.PutSymbol(states, nRows - 1);
    // Two sets of context tables, the small model's and the large one's.
    c.PutSymbol(states, 2);
    for (const int nWeight : {1, 11, 121})
        PutQuantTable(c, kQuant11, nWeight);
    for (int i = 0; i < 2; ++i)
        PutQuantTable(c, kQuant11, 0);
    for (const int nWeight : {1, 11})
        PutQuantTable(c, kQuant11, nWeight);
    for (const int nWeight : {121, 5 * 121, 25 * 121})
        PutQuantTable(c, kQuant5, nWeight);
    for (int i = 0; i < 2; ++i)
        c.Put(states[0], false); // the default initial states
    c.PutSymbol(states, 1);      // CRCs
    c.PutSymbol(states, 1);      // key frames only
    c.Terminate();
    PutCrc(m_header, 0);
    return {};
}

EngineResult<EncodedFrame> CFfv1Encoder::Encode(const std::uint8_t* pPixels, std::int32_t nPitch)
{
    if (m_header.empty() || !pPixels || nPitch < m_nWidth * 3)
        return Failure("The encoder is not ready.");
    // The input is bottom-up; slices and rows are counted from the top.
    const std::uint8_t* pTop = pPixels + static_cast<std::ptrdiff_t>(m_nHeight - 1) * nPitch;
    m_out.clear();
    try {
        for (std::int32_t i = 0; i < m_nColumns * m_nRows; ++i) {
            StartSlice(i);
            EncodeRows(pTop, -static_cast<std::ptrdiff_t>(nPitch));
            if (!FinishSlice())
                return Failure("The frame is too large for FFV1: a slice takes more than 16 MB.");
        }
    } catch (const std::bad_alloc&) {
        return Failure("Out of memory for an FFV1 frame.");
    }
    return EncodedFrame{m_out.data(), m_out.size(), true};
}

void CFfv1Encoder::StartSlice(std::int32_t nSlice)
{
    Slice& slice = m_slice;
    const std::int32_t sx = nSlice % m_nColumns, sy = nSlice / m_nColumns;
    const auto Edge = [](std::int32_t nSide, std::int32_t i, std::int32_t n) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(nSide) * i / n);
    };
    slice.m_nX0 = Edge(m_nWidth, sx, m_nColumns);
    slice.m_nWidth = Edge(m_nWidth, sx + 1, m_nColumns) - slice.m_nX0;
    slice.m_nY0 = Edge(m_nHeight, sy, m_nRows);
    slice.m_nY1 = Edge(m_nHeight, sy + 1, m_nRows);

    // The slice header in the range coder; the first slice begins with the
    // frame's key-frame flag.
    slice.m_bytes.clear();
    RangeWriter c(slice.m_bytes);
    if (nSlice == 0) {
        std::uint8_t nKeyState = 128;
        c.Put(nKeyState, true);
    }
    std::uint8_t states[32];
    std::memset(states, 128, sizeof states);
    c.PutSymbol(states, sx);
    c.PutSymbol(states, sy);
    c.PutSymbol(states, 0); // one grid cell wide
    c.PutSymbol(states, 0); // and high
    c.PutSymbol(states, 0); // the small context model for the light
    c.PutSymbol(states, 0); // and for the colours
    c.PutSymbol(states, kProgressive);
    c.PutSymbol(states, 0); // the pixel aspect ratio, unknown
    c.PutSymbol(states, 1);
    std::uint8_t nEndState = 129;
    c.Put(nEndState, false);
    c.Terminate();
    slice.m_nUsed = slice.m_bytes.size();

    // Every context starts afresh in each slice of a key frame.
    std::fill(slice.m_states.begin(), slice.m_states.end(), PackState(0, 4, 0, 1));
    std::fill(slice.m_rows.begin(), slice.m_rows.end(), std::int16_t{0});
    slice.m_nRunIndex = 0;
    slice.m_nBits = 0;
    slice.m_nPending = 0;
}

void CFfv1Encoder::EncodeRows(const std::uint8_t* pTop, std::ptrdiff_t nRowStep)
{
    Slice& slice = m_slice;
    const std::int32_t w = slice.m_nWidth;
    const std::size_t nStride = static_cast<std::size_t>(w) + 6;
    for (std::int32_t y = slice.m_nY0; y < slice.m_nY1; ++y) {
        // Rows alternate between the two halves of each plane's pair.
        const auto nCur = static_cast<std::size_t>(y % 2);
        std::int16_t* pCur[3];
        std::int16_t* pPrev[3];
        for (std::size_t p = 0; p < 3; ++p) {
            pCur[p] = slice.m_rows.data() + (2 * p + nCur) * nStride + 3;
            pPrev[p] = slice.m_rows.data() + (2 * p + 1 - nCur) * nStride + 3;
        }
        TransformRow(pTop + nRowStep * y + 3 * static_cast<std::ptrdiff_t>(slice.m_nX0), w, pCur[0], pCur[1], pCur[2]);
        for (std::size_t p = 0; p < 3; ++p) {
            // The sample left of the first is the one above it; the one
            // above right of the last is the one above it.
            pCur[p][-1] = pPrev[p][0];
            pPrev[p][w] = pPrev[p][w - 1];
            PredictLine(pCur[p], pPrev[p], w, slice.m_context.data(), slice.m_residue.data());
            // Room for the line's worst case, and the eight bytes stored
            // past the last code.
            const std::size_t nRoom = 8 * static_cast<std::size_t>(w) + 16;
            if (slice.m_bytes.size() - slice.m_nUsed < nRoom)
                slice.m_bytes.resize(std::max(slice.m_bytes.size() * 2, slice.m_nUsed + nRoom));
            EncodeLine(p == 0 ? 0 : kContexts);
        }
    }
}

bool CFfv1Encoder::FinishSlice()
{
    Slice& slice = m_slice;
    // The bits padded with zeros to a whole byte.
    slice.m_bytes.resize(slice.m_nUsed);
    if (slice.m_nPending > 0)
        slice.m_bytes.push_back(static_cast<std::uint8_t>(slice.m_nBits << (8 - slice.m_nPending)));
    // The slice's size and error status, then its CRC.
    const std::size_t nBytes = slice.m_bytes.size();
    if (nBytes > kMaxSliceBytes)
        return false;
    for (int i = 2; i >= 0; --i)
        slice.m_bytes.push_back(static_cast<std::uint8_t>(nBytes >> (8 * i)));
    slice.m_bytes.push_back(0);
    PutCrc(slice.m_bytes, 0);
    m_out.insert(m_out.end(), slice.m_bytes.begin(), slice.m_bytes.end());
    return true;
}

namespace {

// The coder of one line of one slice, in registers while the line lasts.
struct LineCoder {
    std::uint64_t m_nBits;
    int m_nPending;
    std::uint8_t* m_pOut;
    int m_nRunIndex;
    std::uint64_t* m_pStates;
    const std::int16_t* m_pContext;
    const std::int16_t* m_pResidue;

    // Bits go most significant first. The word holds the bits not yet in
    // whole bytes, fewer than 8 between codes; each code is stored with them
    // as eight bytes at once, and the whole bytes among those are kept.
    void PutBits(int n, std::uint32_t v)
    {
        m_nBits = m_nBits << n | v;
        m_nPending += n;
        const std::uint64_t nBig = __builtin_bswap64(m_nBits << (63 - m_nPending) << 1);
        std::memcpy(m_pOut, &nBig, 8);
        m_pOut += m_nPending >> 3;
        m_nPending &= 7;
    }

    // Codes the run's whole blocks; what remains of it.
    int PutRunBlocks(int nRun)
    {
        while (nRun >= 1 << kLog2Run[m_nRunIndex]) {
            nRun -= 1 << kLog2Run[m_nRunIndex];
            ++m_nRunIndex;
            PutBits(1, 1);
        }
        return nRun;
    }

    // Codes one residue of the adaptive Rice code.
    void CodeResidue(int nContext, int nDiff)
    {
        // The residue less the context's bias; values past twelve times the
        // code's unit are escaped whole. One load and one store of the whole
        // state, so that the next code of the same context reads at once
        // what this one stored.
        std::uint64_t& nState = m_pStates[nContext];
        const std::uint64_t nOld = nState;
        const int nOldDrift = static_cast<std::int16_t>(nOld), nErrorSum = static_cast<std::uint16_t>(nOld >> 16),
                  nBias = static_cast<std::int8_t>(nOld >> 32), nCount = static_cast<std::uint8_t>(nOld >> 40);
        const int v = Fold(nDiff - nBias);
        // The smallest k with count × 2^k at least the error sum, which
        // halving can bring down to zero.
        int k = std::max(
            __builtin_clz(static_cast<unsigned>(nCount)) - __builtin_clz(static_cast<unsigned>(nErrorSum) | 1u), 0);
        k += (nCount << k) < nErrorSum;
        const int nCode = v ^ ((2 * nOldDrift + nCount) >> 31);
        // Zero, -1, 1, -2, ... to 0, 1, 2, 3, ...; without a branch, as the
        // sign is as good as random.
        const std::uint32_t u = static_cast<std::uint32_t>(nCode) << 1 ^ static_cast<std::uint32_t>(nCode >> 31);

        // The context learns the size and the drift of its residues.
        int nDrift = nOldDrift + v, nNewCount = nCount, nNewBias = nBias;
        auto nNewErrorSum = static_cast<std::uint16_t>(nErrorSum + std::abs(v));
        if (nNewCount == 128) {
            nNewCount >>= 1;
            nDrift >>= 1;
            nNewErrorSum >>= 1;
        }
        ++nNewCount;
        if (nDrift <= -nNewCount) {
            nNewBias = std::max(nNewBias - 1, -128);
            nDrift = std::max(nDrift + nNewCount, -nNewCount + 1);
        } else if (nDrift > 0) {
            nNewBias = std::min(nNewBias + 1, 127);
            nDrift = std::min(nDrift - nNewCount, 0);
        }
        nState = PackState(nDrift, nNewErrorSum, nNewBias, nNewCount);

        if ((u >> k) < 12)
            PutBits(static_cast<int>(u >> k) + k + 1, (1u << k) + (u & ((1u << k) - 1)));
        else
            PutBits(12 + kSampleBits, u - 11);
    }

    void CodeLine(std::int32_t w)
    {
        std::int32_t x = 0;
        while (x < w) {
            const int nContext = m_pContext[x];
            if (nContext != 0) {
                CodeResidue(nContext, m_pResidue[x++]);
                continue;
            }
            // From a flat neighbourhood on, runs of exact predictions are
            // counted, whatever the neighbourhoods that follow; the first
            // miss ends the run and is coded one step closer to zero, in its
            // own context.
            const std::int32_t nStart = x;
            while (x < w && m_pResidue[x] == 0)
                ++x;
            int nRun = PutRunBlocks(x - nStart);
            if (x == w) {
                // A run reaching the end of the line ends with a bit for
                // what remains of it.
                if (nRun != 0)
                    PutBits(1, 1);
                return;
            }
            PutBits(1 + kLog2Run[m_nRunIndex], static_cast<std::uint32_t>(nRun));
            if (m_nRunIndex)
                --m_nRunIndex;
            const int nDiff = m_pResidue[x];
            CodeResidue(m_pContext[x++], nDiff > 0 ? nDiff - 1 : nDiff);
        }
    }
};

// The coder gains a tenth from the newer instructions (counting leading
// zeros, shifts by a register without flags), where the processor has them.
// It works on a copy, which stays in registers: the bytes it writes could
// otherwise be any memory, for the compiler.
__attribute__((target_clones("arch=x86-64-v3", "default"))) LineCoder CodeLine(LineCoder coder, std::int32_t w)
{
    coder.CodeLine(w);
    return coder;
}

} // namespace

void CFfv1Encoder::EncodeLine(std::size_t nFirstContext)
{
    Slice& slice = m_slice;
    const LineCoder coder = CodeLine(LineCoder{slice.m_nBits, slice.m_nPending, slice.m_bytes.data() + slice.m_nUsed,
                                               slice.m_nRunIndex, slice.m_states.data() + nFirstContext,
                                               slice.m_context.data(), slice.m_residue.data()},
                                     slice.m_nWidth);
    slice.m_nBits = coder.m_nBits;
    slice.m_nPending = coder.m_nPending;
    slice.m_nRunIndex = coder.m_nRunIndex;
    slice.m_nUsed = static_cast<std::size_t>(coder.m_pOut - slice.m_bytes.data());
}
