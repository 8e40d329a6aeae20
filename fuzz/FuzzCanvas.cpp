// Fuzz target: the canvas rule over arbitrary integers, and the blend over
// arbitrary pixels and weights.
//
// Input: seven little-endian 32-bit integers (size mode, custom width and
// height, first and second picture sizes), then bytes that choose a weight
// and fill the pixel buffers.
//
// The canvas must match the rule computed independently in 64-bit
// arithmetic, or be refused exactly when that rule leaves the 32-bit range or
// gives a negative side. Every blend path, the weight prepared for each
// vector path included, must equal the plain per-channel formula for every
// byte.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

// Local
#include "engine/Blend.h"
#include "engine/BlendWeight.h"
#include "engine/Canvas.h"
#include "engine/PixelBuffer.h"
#include "fuzz/FuzzInput.h"

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
// Canvases up to this many bytes and rows are also blended; larger ones are
// only measured, so every run stays fast.
constexpr std::int64_t kMaxBlendBytes = 64 * 1024;
constexpr std::int32_t kMaxBlendRows = 4096;

// The blend of one byte, written out here so the engine's code is checked
// against the formula rather than against itself.
std::uint8_t ExpectedChannel(std::uint8_t a, std::uint8_t b, double w)
{
    const double t = static_cast<double>(static_cast<int>(b) - static_cast<int>(a)) * w;
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(t + static_cast<double>(a)));
}

// A weight in 0..1 of one of the kinds the renders use, or any such double.
double ChooseWeight(FuzzInput& reader)
{
    const std::uint8_t nKind = reader.Byte() % 3;
    if (nKind == 0)
        return StillWeight(reader.Byte() % 101);
    if (nKind == 1) {
        const std::int32_t nFrames = 1 + static_cast<std::int32_t>(static_cast<std::uint32_t>(reader.Int32()) % 1000000);
        return FrameWeight(FrameStep(nFrames), static_cast<std::int32_t>(static_cast<std::uint32_t>(reader.Int32()) % nFrames));
    }
    const std::uint64_t nBits = reader.Uint(8);
    double w = 0.0;
    std::memcpy(&w, &nBits, sizeof w);
    return std::isfinite(w) && w >= 0.0 && w <= 1.0 ? w : 0.5;
}

void Fill(std::uint8_t* pBytes, std::size_t nCount, const FuzzInput& reader, std::size_t nStart)
{
    const std::size_t nSource = reader.RestSize();
    for (std::size_t i = 0; i < nCount; ++i)
        pBytes[i] = nSource ? static_cast<std::uint8_t>(reader.Rest()[(nStart + i) % nSource] + i / nSource) : 0;
}

// Arbitrary lengths and misaligned starts exercise the vector tails; bytes
// before the start must stay untouched.
void CheckBlendBytes(FuzzInput& reader, double w)
{
    const std::size_t nCount = reader.RestSize() / 2;
    const std::size_t nOffset = reader.Byte() % 32;
    std::vector<std::uint8_t> first(nOffset + nCount), second(nOffset + nCount);
    Fill(first.data(), first.size(), reader, 0);
    Fill(second.data(), second.size(), reader, nCount);
    std::vector<std::uint8_t> fast(nOffset + nCount, 0xA5), reference(nOffset + nCount, 0xA5);
    BlendBytes(first.data() + nOffset, second.data() + nOffset, fast.data() + nOffset, nCount, w);
    BlendBytesReference(first.data() + nOffset, second.data() + nOffset, reference.data() + nOffset, nCount, w);
    for (std::size_t i = 0; i < nOffset + nCount; ++i) {
        Require(reference[i] == (i < nOffset ? 0xA5 : ExpectedChannel(first[i], second[i], w)));
        Require(fast[i] == reference[i]);
    }
    // The weight prepared for each vector path, whatever form it takes there.
    for (BlendPath nPath : {BlendPath::Avx2, BlendPath::Avx512}) {
        if (!BlendPathAvailable(nPath))
            continue;
        std::fill(fast.begin(), fast.end(), 0xA5);
        BlendWeight(w, nPath).Blend(first.data() + nOffset, second.data() + nOffset, fast.data() + nOffset, nCount);
        Require(fast == reference);
    }
}

void CheckBlendRows(const Canvas& canvas, FuzzInput& reader, double w)
{
    auto first = PixelBuffer::Allocate(canvas), second = PixelBuffer::Allocate(canvas);
    auto fast = PixelBuffer::Allocate(canvas), prepared = PixelBuffer::Allocate(canvas);
    auto reference = PixelBuffer::Allocate(canvas);
    Require(first && second && fast && prepared && reference);
    const std::size_t nSize = canvas.ImageSize();
    Require(first.Value().Size() == nSize);
    Fill(first.Value().Data(), nSize, reader, 0);
    Fill(second.Value().Data(), nSize, reader, 7);
    const BlendWeight weight(w);
    for (std::int32_t r = 0; r < canvas.Height(); ++r) {
        BlendRow(first.Value(), second.Value(), fast.Value(), canvas, r, w);
        BlendRow(first.Value(), second.Value(), prepared.Value(), canvas, r, weight);
        BlendRowReference(first.Value(), second.Value(), reference.Value(), canvas, r, w);
    }
    for (std::size_t i = 0; i < nSize; ++i) {
        const std::uint8_t expected = ExpectedChannel(first.Value().Data()[i], second.Value().Data()[i], w);
        Require(reference.Value().Data()[i] == expected && fast.Value().Data()[i] == expected);
        Require(prepared.Value().Data()[i] == expected);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    FuzzInput reader(pData, nSize);
    std::int32_t n[7];
    for (std::int32_t& v : n)
        v = reader.Int32();
    const auto [nMode, nWidth, nHeight, nFirstWidth, nFirstHeight, nSecondWidth, nSecondHeight] = n;
    const EngineResult<Canvas> result =
        ComputeCanvas(nMode, nWidth, nHeight, nFirstWidth, nFirstHeight, nSecondWidth, nSecondHeight);

    // The rule in 64-bit arithmetic, which cannot overflow here.
    const bool bCustom = nMode != 0;
    const std::int64_t nSumWidth = std::int64_t{nFirstWidth} + nSecondWidth;
    const std::int64_t nSumHeight = std::int64_t{nFirstHeight} + nSecondHeight;
    const bool bSumsFit = bCustom || (nSumWidth >= kInt32Min && nSumWidth <= kInt32Max && nSumHeight >= kInt32Min &&
                                      nSumHeight <= kInt32Max);
    const std::int64_t W = (bCustom ? nWidth : nSumWidth / 2) / 4 * 4;
    const std::int64_t H = (bCustom ? nHeight : nSumHeight / 2) / 4 * 4;
    const bool bInputsNonNegative = bCustom ? (nWidth >= 0 && nHeight >= 0)
                                            : (nFirstWidth >= 0 && nFirstHeight >= 0 && nSecondWidth >= 0 &&
                                               nSecondHeight >= 0);
    const bool bImageFits = W >= 0 && H >= 0 && (H == 0 || W * 3 <= kInt32Max / H);
    if (bSumsFit && bInputsNonNegative && W * 24 + 31 <= kInt32Max && bImageFits && W > 0 && H > 0)
        Require(result.HasValue());
    if (bSumsFit && (W <= 0 || H <= 0 || !bImageFits))
        Require(!result.HasValue());

    if (!result.HasValue()) {
        Require(result.Error().m_nCode == EngineErrorCode::InvalidCanvas);
        CheckBlendBytes(reader, ChooseWeight(reader));
        return 0;
    }

    const Canvas& canvas = result.Value();
    const BITMAPINFOHEADER& bih = canvas.Header();
    Require(bih.biSize == 40 && bih.biPlanes == 1 && bih.biBitCount == 24 && bih.biCompression == BI_RGB);
    Require(bih.biXPelsPerMeter == 0 && bih.biYPelsPerMeter == 0 && bih.biClrUsed == 0 && bih.biClrImportant == 0);
    Require(bih.biWidth > 0 && bih.biHeight > 0 && bih.biWidth % 4 == 0 && bih.biHeight % 4 == 0);
    Require(std::int64_t{bih.biSizeImage} == std::int64_t{bih.biWidth} * 3 * bih.biHeight);
    Require(std::int64_t{bih.biSizeImage} <= kInt32Max && (!bSumsFit || (bih.biWidth == W && bih.biHeight == H)));
    const auto* pColour = reinterpret_cast<const std::uint8_t*>(&canvas.m_info.bmiColors);
    for (std::size_t i = 0; i < sizeof canvas.m_info.bmiColors; ++i)
        Require(pColour[i] == 0);

    const double w = ChooseWeight(reader);
    if (bih.biSizeImage <= kMaxBlendBytes && bih.biHeight <= kMaxBlendRows)
        CheckBlendRows(canvas, reader, w);
    CheckBlendBytes(reader, w);
    return 0;
}
