// Fuzz target: the canvas rule over arbitrary integers, and the blend over
// arbitrary pixels and weights.
//
// Input: seven little-endian 32-bit integers (size mode, custom width and
// height, first and second picture sizes), then bytes that choose a weight
// and fill the pixel buffers.
//
// The canvas must match the rule computed independently in 64-bit
// arithmetic, or be refused exactly when that rule leaves the 32-bit range or
// gives a negative side. Every blend path must equal the plain per-channel
// formula for every byte.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

// Local
#include "engine/Blend.h"
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
    const double d = static_cast<double>(static_cast<int>(b) - static_cast<int>(a));
    const double t = d * w;
    const double v = t + static_cast<double>(a);
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(v));
}

// A weight in 0..1 of one of the kinds the renders use, or any such double.
double ChooseWeight(FuzzInput& reader)
{
    switch (reader.Byte() % 3) {
    case 0:
        return StillWeight(reader.Byte() % 101);
    case 1: {
        const std::int32_t nFrames = 1 + static_cast<std::int32_t>(static_cast<std::uint32_t>(reader.Int32()) % 1000000);
        const std::int32_t k = static_cast<std::int32_t>(static_cast<std::uint32_t>(reader.Int32()) % nFrames);
        return FrameWeight(FrameStep(nFrames), k);
    }
    default: {
        const std::uint64_t nBits = reader.Uint(8);
        double w = 0.0;
        std::memcpy(&w, &nBits, sizeof w);
        return std::isfinite(w) && w >= 0.0 && w <= 1.0 ? w : 0.5;
    }
    }
}

void Fill(std::vector<std::uint8_t>& bytes, const std::uint8_t* pSource, std::size_t nSource, std::size_t nStart)
{
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = nSource ? static_cast<std::uint8_t>(pSource[(nStart + i) % nSource] + i / nSource) : 0;
}

void CheckBlendBytes(FuzzInput& reader, double w)
{
    // Arbitrary lengths and misaligned starts exercise the vector tails.
    const std::size_t nCount = reader.RestSize() / 2;
    const std::size_t nOffset = reader.Byte() % 32;
    std::vector<std::uint8_t> first(nOffset + nCount), second(nOffset + nCount);
    Fill(first, reader.Rest(), reader.RestSize(), 0);
    Fill(second, reader.Rest(), reader.RestSize(), nCount);
    std::vector<std::uint8_t> fast(nOffset + nCount, 0xA5), reference(nOffset + nCount, 0xA5);
    BlendBytes(first.data() + nOffset, second.data() + nOffset, fast.data() + nOffset, nCount, w);
    BlendBytesReference(first.data() + nOffset, second.data() + nOffset, reference.data() + nOffset, nCount, w);
    for (std::size_t i = 0; i < nOffset; ++i)
        Require(fast[i] == 0xA5 && reference[i] == 0xA5);
    for (std::size_t i = nOffset; i < nOffset + nCount; ++i) {
        Require(reference[i] == ExpectedChannel(first[i], second[i], w));
        Require(fast[i] == reference[i]);
    }
}

void CheckBlendRows(const Canvas& canvas, FuzzInput& reader, double w)
{
    auto first = PixelBuffer::Allocate(canvas);
    auto second = PixelBuffer::Allocate(canvas);
    auto fast = PixelBuffer::Allocate(canvas);
    auto reference = PixelBuffer::Allocate(canvas);
    Require(first && second && fast && reference);
    const std::size_t nSize = canvas.ImageSize();
    Require(first.Value().Size() == nSize);
    std::vector<std::uint8_t> bytes(nSize);
    Fill(bytes, reader.Rest(), reader.RestSize(), 0);
    if (nSize)
        std::memcpy(first.Value().Data(), bytes.data(), nSize);
    Fill(bytes, reader.Rest(), reader.RestSize(), 7);
    if (nSize)
        std::memcpy(second.Value().Data(), bytes.data(), nSize);

    for (std::int32_t r = 0; r < canvas.Height(); ++r) {
        BlendRow(first.Value(), second.Value(), fast.Value(), canvas, r, w);
        BlendRowReference(first.Value(), second.Value(), reference.Value(), canvas, r, w);
    }
    const std::uint8_t* pFirst = first.Value().Data();
    const std::uint8_t* pSecond = second.Value().Data();
    for (std::size_t i = 0; i < nSize; ++i) {
        Require(reference.Value().Data()[i] == ExpectedChannel(pFirst[i], pSecond[i], w));
        Require(fast.Value().Data()[i] == reference.Value().Data()[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    FuzzInput reader(pData, nSize);
    const std::int32_t nMode = reader.Int32();
    const std::int32_t nWidth = reader.Int32();
    const std::int32_t nHeight = reader.Int32();
    const std::int32_t nFirstWidth = reader.Int32();
    const std::int32_t nFirstHeight = reader.Int32();
    const std::int32_t nSecondWidth = reader.Int32();
    const std::int32_t nSecondHeight = reader.Int32();

    const EngineResult<Canvas> result =
        ComputeCanvas(nMode, nWidth, nHeight, nFirstWidth, nFirstHeight, nSecondWidth, nSecondHeight);

    // The rule in 64-bit arithmetic, which cannot overflow here.
    const bool bCustom = nMode != 0;
    const std::int64_t nSumWidth = std::int64_t{nFirstWidth} + nSecondWidth;
    const std::int64_t nSumHeight = std::int64_t{nFirstHeight} + nSecondHeight;
    const bool bSumsFit = bCustom || (nSumWidth >= kInt32Min && nSumWidth <= kInt32Max && nSumHeight >= kInt32Min &&
                                      nSumHeight <= kInt32Max);
    const std::int64_t nRawWidth = bCustom ? nWidth : nSumWidth / 2;
    const std::int64_t nRawHeight = bCustom ? nHeight : nSumHeight / 2;
    const std::int64_t W = nRawWidth / 4 * 4;
    const std::int64_t H = nRawHeight / 4 * 4;
    const bool bInputsNonNegative = bCustom ? (nWidth >= 0 && nHeight >= 0)
                                            : (nFirstWidth >= 0 && nFirstHeight >= 0 && nSecondWidth >= 0 &&
                                               nSecondHeight >= 0);
    const bool bRowFits = W * 24 + 31 <= kInt32Max;
    const bool bImageFits = W >= 0 && H >= 0 && (H == 0 || W * 3 <= kInt32Max / H);

    if (bSumsFit && bInputsNonNegative && bRowFits && bImageFits && W > 0 && H > 0)
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
    Require(std::int64_t{bih.biSizeImage} <= kInt32Max);
    if (bSumsFit) {
        Require(bih.biWidth == W && bih.biHeight == H);
    }
    const auto* pColour = reinterpret_cast<const std::uint8_t*>(&canvas.m_info.bmiColors);
    for (std::size_t i = 0; i < sizeof canvas.m_info.bmiColors; ++i)
        Require(pColour[i] == 0);

    const double w = ChooseWeight(reader);
    if (bih.biSizeImage <= kMaxBlendBytes && bih.biHeight <= kMaxBlendRows)
        CheckBlendRows(canvas, reader, w);
    CheckBlendBytes(reader, w);
    return 0;
}
