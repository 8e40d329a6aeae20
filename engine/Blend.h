#pragma once

// The blend arithmetic, defined to the bit: per channel
// trunc((b − a) × w + a) in IEEE double, rounded after every operation,
// with no fused multiply-add, keeping the low 8 bits.

#include <cstddef>
#include <cstdint>

// Local
#include "engine/Canvas.h"
#include "engine/PixelBuffer.h"
#include "platform/win/WinTypes.h"

class BlendWeight;

// One channel: a from the first picture, b from the second, weight w.
inline BYTE BlendChannel(int a, int b, double w) noexcept
{
    const double d = static_cast<double>(b - a);
    const double t = d * w;
    const double v = t + static_cast<double>(a);
    return static_cast<BYTE>(static_cast<std::int32_t>(v));
}

// Blends nCount bytes channel by channel with the plain formula. This is the
// reference every faster path must match bit for bit. w must lie in 0..1.
void BlendBytesReference(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount,
                         double w) noexcept;

// The ways BlendBytes can run: the plain loop, or wider vectors where the
// processor has them (AVX-512 counts only with its F, DQ and BW parts).
// Every path gives the same bytes as the plain loop.
enum class BlendPath { Reference, Avx2, Avx512 };

// True when this processor (and its operating system) can run the path.
bool BlendPathAvailable(BlendPath nPath) noexcept;

// The widest available path; BlendBytes and BlendRow use it.
BlendPath BlendActivePath() noexcept;

// Blends nCount bytes on the given path, which must be available. A weight
// outside 0..1 always takes the reference loop.
void BlendBytesOn(BlendPath nPath, const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount,
                  double w) noexcept;

// Blends nCount bytes on the active path.
void BlendBytes(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount, double w) noexcept;

// Blends one picture row. The caller counts r = 0 .. H − 1 from the top of the
// picture; the row touched is memory row H − 1 − r of each buffer. Reads the
// two source buffers, writes the output only. A width of 0 blends nothing.
// Buffers must hold the canvas's image size; r out of range does nothing.
void BlendRow(const PixelBuffer& first, const PixelBuffer& second, PixelBuffer& out, const Canvas& canvas,
              std::int32_t r, double w) noexcept;

// Same as BlendRow, with a weight prepared once for many rows.
void BlendRow(const PixelBuffer& first, const PixelBuffer& second, PixelBuffer& out, const Canvas& canvas,
              std::int32_t r, const BlendWeight& weight) noexcept;

// Same as BlendRow, always through the plain formula.
void BlendRowReference(const PixelBuffer& first, const PixelBuffer& second, PixelBuffer& out,
                       const Canvas& canvas, std::int32_t r, double w) noexcept;

// The step between frame weights for nFrameCount frames: 1.0 / (N − 1).
// With one frame (or fewer) the step is 0, so the single frame shows the
// first picture.
double FrameStep(std::int32_t nFrameCount) noexcept;

// The weight of frame k: k × step. Never above 1.0 for k ≤ N − 1.
double FrameWeight(double dStep, std::int32_t k) noexcept;

// The weight of a still picture for slider position p (0..100): p × 0.01.
double StillWeight(std::int32_t p) noexcept;
