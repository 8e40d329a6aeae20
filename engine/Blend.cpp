#include "engine/Blend.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PLAVEX_BLEND_X86 1
#endif

namespace {

#ifdef PLAVEX_BLEND_X86

// Sixteen channels at a time with four-wide doubles. Every channel goes
// through exactly the operations of BlendChannel: an exact int-to-double
// conversion of b − a and of a, one rounded multiply, one rounded add and a
// truncating conversion. Packing to bytes cannot saturate because the weight
// is in 0..1, so every result already lies between a and b.
__attribute__((target("avx2"))) void BlendBytesAvx2(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut,
                                                    std::size_t nCount, double w) noexcept
{
    const __m256d vw = _mm256_set1_pd(w);
    std::size_t i = 0;
    for (; i + 16 <= nCount; i += 16) {
        const __m256i a16 = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pFirst + i)));
        const __m256i b16 = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pSecond + i)));
        const __m256i d16 = _mm256_sub_epi16(b16, a16);

        const __m256i aLo = _mm256_cvtepi16_epi32(_mm256_castsi256_si128(a16));
        const __m256i aHi = _mm256_cvtepi16_epi32(_mm256_extracti128_si256(a16, 1));
        const __m256i dLo = _mm256_cvtepi16_epi32(_mm256_castsi256_si128(d16));
        const __m256i dHi = _mm256_cvtepi16_epi32(_mm256_extracti128_si256(d16, 1));

        const __m256d v0 = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(dLo)), vw),
                                         _mm256_cvtepi32_pd(_mm256_castsi256_si128(aLo)));
        const __m256d v1 = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(dLo, 1)), vw),
                                         _mm256_cvtepi32_pd(_mm256_extracti128_si256(aLo, 1)));
        const __m256d v2 = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(dHi)), vw),
                                         _mm256_cvtepi32_pd(_mm256_castsi256_si128(aHi)));
        const __m256d v3 = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(dHi, 1)), vw),
                                         _mm256_cvtepi32_pd(_mm256_extracti128_si256(aHi, 1)));

        const __m128i r01 = _mm_packs_epi32(_mm256_cvttpd_epi32(v0), _mm256_cvttpd_epi32(v1));
        const __m128i r23 = _mm_packs_epi32(_mm256_cvttpd_epi32(v2), _mm256_cvttpd_epi32(v3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + i), _mm_packus_epi16(r01, r23));
    }
    for (; i < nCount; ++i)
        pOut[i] = BlendChannel(pFirst[i], pSecond[i], w);
}

bool DetectAvx2() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

const bool g_bHasAvx2 = DetectAvx2();

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

bool BlendHasFastPath() noexcept
{
#ifdef PLAVEX_BLEND_X86
    return g_bHasAvx2;
#else
    return false;
#endif
}

void BlendBytes(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount, double w) noexcept
{
#ifdef PLAVEX_BLEND_X86
    // The packing step relies on results between a and b, which only a
    // weight in 0..1 guarantees; NaN fails both comparisons too.
    if (g_bHasAvx2 && w >= 0.0 && w <= 1.0) {
        BlendBytesAvx2(pFirst, pSecond, pOut, nCount, w);
        return;
    }
#endif
    BlendBytesReference(pFirst, pSecond, pOut, nCount, w);
}

void BlendRow(const PixelBuffer& first, const PixelBuffer& second, PixelBuffer& out, const Canvas& canvas,
              std::int32_t r, double w) noexcept
{
    std::size_t nOffset = 0;
    std::size_t nCount = 0;
    if (RowSpan(first, second, out, canvas, r, nOffset, nCount))
        BlendBytes(first.Data() + nOffset, second.Data() + nOffset, out.Data() + nOffset, nCount, w);
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
