// Fuzz target: the canvas rule over arbitrary integers, and the blend over
// arbitrary pixels and weights.
//
// Input: seven little-endian 32-bit integers (size mode, custom width and
// height, first and second picture sizes), then bytes that choose a weight
// and fill the pixel buffers.
//
// The canvas must match the rule computed independently in 64-bit
// arithmetic, and be refused exactly when that rule refuses it; the seeds hold
// the rule's edges (rounding, means, negative, zero and 32-bit-overflowing
// sides), so CTest's replay of them is the canvas rule's table. Every blend
// path, the weight prepared for each vector path included, must equal the
// plain per-channel formula for every byte.

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
// before the start must stay untouched. Every path, and the weight prepared
// for each vector path whatever form it takes there, gives the formula.
void CheckBlendBytes(FuzzInput& reader, double w)
{
    const std::size_t nCount = reader.RestSize() / 2, nOffset = reader.Byte() % 32, nSize = nOffset + nCount;
    std::vector<std::uint8_t> first(nSize), second(nSize), expected(nSize, 0xA5), out(nSize, 0xA5);
    Fill(first.data(), nSize, reader, 0);
    Fill(second.data(), nSize, reader, nCount);
    for (std::size_t i = nOffset; i < nSize; ++i)
        expected[i] = ExpectedChannel(first[i], second[i], w);
    const auto check = [&](auto blend) {
        std::fill(out.begin(), out.end(), 0xA5);
        blend(first.data() + nOffset, second.data() + nOffset, out.data() + nOffset);
        Require(out == expected);
    };
    check([&](auto a, auto b, auto o) { BlendBytes(a, b, o, nCount, w); });
    check([&](auto a, auto b, auto o) { BlendBytesReference(a, b, o, nCount, w); });
    for (BlendPath nPath : {BlendPath::Avx2, BlendPath::Avx512})
        if (BlendPathAvailable(nPath))
            check([&](auto a, auto b, auto o) { BlendWeight(w, nPath).Blend(a, b, o, nCount); });
}

// Each row through the double weight, the prepared weight and the plain
// formula lands at its place in the buffers.
void CheckBlendRows(const Canvas& canvas, FuzzInput& reader, double w)
{
    std::vector<PixelBuffer> b;  // the two pictures, then the three outputs
    for (int i = 0; i < 5; ++i) {
        auto buffer = PixelBuffer::Allocate(canvas);
        Require(buffer && buffer.Value().Size() == canvas.ImageSize());
        b.push_back(std::move(buffer).Value());
    }
    Fill(b[0].Data(), b[0].Size(), reader, 0);
    Fill(b[1].Data(), b[1].Size(), reader, 7);
    const BlendWeight weight(w);
    for (std::int32_t r = 0; r < canvas.Height(); ++r) {
        BlendRow(b[0], b[1], b[2], canvas, r, w);
        BlendRow(b[0], b[1], b[3], canvas, r, weight);
        BlendRowReference(b[0], b[1], b[4], canvas, r, w);
    }
    for (std::size_t i = 0; i < b[0].Size(); ++i)
        for (int k = 2; k < 5; ++k)
            Require(b[k].Data()[i] == ExpectedChannel(b[0].Data()[i], b[1].Data()[i], w));
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

    // The rule in 64-bit arithmetic, which cannot overflow here: the mean of
    // the pictures' sides or the custom sides, each rounded down to four; a
    // side of 0 or less, or a row or image of more than 2^31 − 1 bytes, is
    // refused.
    const std::int64_t nRawWidth = nMode != 0 ? nWidth : (std::int64_t{nFirstWidth} + nSecondWidth) / 2;
    const std::int64_t nRawHeight = nMode != 0 ? nHeight : (std::int64_t{nFirstHeight} + nSecondHeight) / 2;
    const std::int64_t W = nRawWidth / 4 * 4, H = nRawHeight / 4 * 4;
    const bool bValid = W > 0 && H > 0 && W * 24 + 31 <= kInt32Max && W * 3 * H <= kInt32Max;
    Require(result.HasValue() == bValid);
    if (!result.HasValue()) {
        Require(result.Error().m_nCode == EngineErrorCode::InvalidCanvas);
        CheckBlendBytes(reader, ChooseWeight(reader));
        return 0;
    }

    const Canvas& canvas = result.Value();
    // The header's constant fields reach every still's bytes, which the batch
    // tool's tests compare whole.
    const BITMAPINFOHEADER& bih = canvas.Header();
    Require(bih.biWidth == W && bih.biHeight == H && std::int64_t{bih.biSizeImage} == W * 3 * H);

    const double w = ChooseWeight(reader);
    if (bih.biSizeImage <= kMaxBlendBytes && bih.biHeight <= kMaxBlendRows)
        CheckBlendRows(canvas, reader, w);
    CheckBlendBytes(reader, w);
    return 0;
}
