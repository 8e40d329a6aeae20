#include "engine/Blend.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

// Local
#include "engine/BlendWeight.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PLAVEX_BLEND_X86 1
#endif

namespace {

#ifdef PLAVEX_BLEND_X86

// The vector paths compute every channel with exactly the operations of
// BlendChannel: b − a and a become doubles without rounding, then one rounded
// multiply, one rounded add, and a conversion that truncates toward zero.
// Packing the results to bytes cannot saturate because a weight in 0..1
// keeps every result between a and b.

// Four channels per vector. A byte OR-ed into the low mantissa bits of 2^52
// gives the double 2^52 + a exactly; the difference of two such doubles is
// exactly b − a, and subtracting 2^52 gives exactly a. This avoids the
// slower integer-to-double conversions.
__attribute__((target("avx2"))) void BlendBytesAvx2(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut,
                                                    std::size_t nCount, double w) noexcept
{
    const __m256d vWeight = _mm256_set1_pd(w);
    const __m256i vMagicBits = _mm256_set1_epi64x(0x4330000000000000LL);
    const __m256d vMagic = _mm256_castsi256_pd(vMagicBits);
    std::size_t i = 0;
    for (; i + 16 <= nCount; i += 16) {
        __m128i results[4];
        for (int g = 0; g < 4; ++g) {
            std::int32_t nFour = 0;
            std::int32_t nSecondFour = 0;
            std::memcpy(&nFour, pFirst + i + 4 * g, 4);
            std::memcpy(&nSecondFour, pSecond + i + 4 * g, 4);
            const __m256d aMagic = _mm256_castsi256_pd(
                _mm256_or_si256(_mm256_cvtepu8_epi64(_mm_cvtsi32_si128(nFour)), vMagicBits));
            const __m256d bMagic = _mm256_castsi256_pd(
                _mm256_or_si256(_mm256_cvtepu8_epi64(_mm_cvtsi32_si128(nSecondFour)), vMagicBits));
            const __m256d d = _mm256_sub_pd(bMagic, aMagic);
            const __m256d a = _mm256_sub_pd(aMagic, vMagic);
            const __m256d t = _mm256_mul_pd(d, vWeight);
            const __m256d v = _mm256_add_pd(t, a);
            results[g] = _mm256_cvttpd_epi32(v);
        }
        const __m128i low = _mm_packs_epi32(results[0], results[1]);
        const __m128i high = _mm_packs_epi32(results[2], results[3]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + i), _mm_packus_epi16(low, high));
    }
    for (; i < nCount; ++i)
        pOut[i] = BlendChannel(pFirst[i], pSecond[i], w);
}

// Eight channels per vector, with direct 64-bit integer conversions and a
// truncating narrow straight to bytes.
__attribute__((target("avx512f,avx512dq"))) void BlendBytesAvx512(const BYTE* pFirst, const BYTE* pSecond,
                                                                 BYTE* pOut, std::size_t nCount,
                                                                 double w) noexcept
{
    // The all-lanes masked forms give the same results as the plain ones and
    // keep the compiler from warning about their unset pass-through operand.
    constexpr __mmask8 kAll = 0xFF;
    const __m512d vWeight = _mm512_set1_pd(w);
    std::size_t i = 0;
    for (; i + 16 <= nCount; i += 16) {
        __m128i results[2];
        for (int g = 0; g < 2; ++g) {
            const __m512i a64 = _mm512_maskz_cvtepu8_epi64(
                kAll, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pFirst + i + 8 * g)));
            const __m512i b64 = _mm512_maskz_cvtepu8_epi64(
                kAll, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pSecond + i + 8 * g)));
            const __m512d d = _mm512_cvtepi64_pd(_mm512_sub_epi64(b64, a64));
            const __m512d a = _mm512_cvtepi64_pd(a64);
            const __m512d t = _mm512_mul_pd(d, vWeight);
            const __m512d v = _mm512_add_pd(t, a);
            results[g] = _mm512_maskz_cvtepi64_epi8(kAll, _mm512_cvttpd_epi64(v));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + i), _mm_unpacklo_epi64(results[0], results[1]));
    }
    for (; i < nCount; ++i)
        pOut[i] = BlendChannel(pFirst[i], pSecond[i], w);
}

struct CpuFeatures {
    bool m_bAvx2 = false;
    bool m_bAvx512 = false;
};

// The checks include the operating system's support for the wider registers.
CpuFeatures DetectCpuFeatures() noexcept
{
    __builtin_cpu_init();
    CpuFeatures features;
    features.m_bAvx2 = __builtin_cpu_supports("avx2");
    features.m_bAvx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                         __builtin_cpu_supports("avx512bw");
    return features;
}

const CpuFeatures g_cpu = DetectCpuFeatures();

#endif

// Locates memory row H − 1 − r, or gives false when there is nothing to blend.
bool RowSpan(const PixelBuffer& first, const PixelBuffer& second, const PixelBuffer& out, const Canvas& canvas,
             std::int32_t r, std::size_t& nOffset, std::size_t& nCount) noexcept
{
    const std::int32_t nWidth = canvas.Width();
    const std::int32_t nHeight = canvas.Height();
    if (nWidth <= 0 || r < 0 || r >= nHeight)
        return false;
    const std::size_t nStride = static_cast<std::size_t>(nWidth) * 3;
    const std::size_t nRow = static_cast<std::size_t>(nHeight - 1 - r);
    nOffset = nRow * nStride;
    nCount = nStride;
    const std::size_t nEnd = nOffset + nCount;
    return first.Size() >= nEnd && second.Size() >= nEnd && out.Size() >= nEnd;
}

} // namespace

void BlendBytesReference(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount,
                         double w) noexcept
{
    for (std::size_t i = 0; i < nCount; ++i)
        pOut[i] = BlendChannel(pFirst[i], pSecond[i], w);
}

bool BlendPathAvailable(BlendPath nPath) noexcept
{
    switch (nPath) {
    case BlendPath::Reference:
        return true;
#ifdef PLAVEX_BLEND_X86
    case BlendPath::Avx2:
        return g_cpu.m_bAvx2;
    case BlendPath::Avx512:
        return g_cpu.m_bAvx512;
#else
    case BlendPath::Avx2:
    case BlendPath::Avx512:
        break;
#endif
    }
    return false;
}

BlendPath BlendActivePath() noexcept
{
    if (BlendPathAvailable(BlendPath::Avx512))
        return BlendPath::Avx512;
    if (BlendPathAvailable(BlendPath::Avx2))
        return BlendPath::Avx2;
    return BlendPath::Reference;
}

void BlendBytesOn(BlendPath nPath, const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount,
                  double w) noexcept
{
    // Only a weight in 0..1 keeps results between a and b, which the packing
    // of the vector paths relies on; NaN fails both comparisons.
    const bool bWeightInRange = w >= 0.0 && w <= 1.0;
#ifdef PLAVEX_BLEND_X86
    if (bWeightInRange && nPath == BlendPath::Avx512 && g_cpu.m_bAvx512) {
        BlendBytesAvx512(pFirst, pSecond, pOut, nCount, w);
        return;
    }
    if (bWeightInRange && nPath == BlendPath::Avx2 && g_cpu.m_bAvx2) {
        BlendBytesAvx2(pFirst, pSecond, pOut, nCount, w);
        return;
    }
#else
    (void)nPath;
    (void)bWeightInRange;
#endif
    BlendBytesReference(pFirst, pSecond, pOut, nCount, w);
}

void BlendBytes(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount, double w) noexcept
{
    static const BlendPath nActive = BlendActivePath();
    BlendBytesOn(nActive, pFirst, pSecond, pOut, nCount, w);
}

void BlendRow(const PixelBuffer& first, const PixelBuffer& second, PixelBuffer& out, const Canvas& canvas,
              std::int32_t r, double w) noexcept
{
    std::size_t nOffset = 0;
    std::size_t nCount = 0;
    if (RowSpan(first, second, out, canvas, r, nOffset, nCount))
        BlendBytes(first.Data() + nOffset, second.Data() + nOffset, out.Data() + nOffset, nCount, w);
}

void BlendRow(const PixelBuffer& first, const PixelBuffer& second, PixelBuffer& out, const Canvas& canvas,
              std::int32_t r, const BlendWeight& weight) noexcept
{
    std::size_t nOffset = 0;
    std::size_t nCount = 0;
    if (RowSpan(first, second, out, canvas, r, nOffset, nCount))
        weight.Blend(first.Data() + nOffset, second.Data() + nOffset, out.Data() + nOffset, nCount);
}

void BlendRowReference(const PixelBuffer& first, const PixelBuffer& second, PixelBuffer& out,
                       const Canvas& canvas, std::int32_t r, double w) noexcept
{
    std::size_t nOffset = 0;
    std::size_t nCount = 0;
    if (RowSpan(first, second, out, canvas, r, nOffset, nCount))
        BlendBytesReference(first.Data() + nOffset, second.Data() + nOffset, out.Data() + nOffset, nCount, w);
}

double FrameStep(std::int32_t nFrameCount) noexcept
{
    if (nFrameCount <= 1)
        return 0.0;
    return 1.0 / static_cast<double>(nFrameCount - 1);
}

double FrameWeight(double dStep, std::int32_t k) noexcept
{
    return static_cast<double>(k) * dStep;
}

double StillWeight(std::int32_t p) noexcept
{
    return static_cast<double>(p) * 0.01;
}
