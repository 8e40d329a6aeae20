#include "engine/BlendWeight.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PLAVEX_BLEND_X86 1
#endif

namespace {

using Form = BlendWeight::Form;

constexpr std::size_t kPairs = 65536;

// Every kernel computes, per byte, in 16-bit lanes that wrap,
//     a' = a + offset,  d = b + bias − a' = b − a + D (0..65535),
//     r = ((d × mul) >> 16) + a',
// which is a + floor(((b − a) × W + B) / 65536) with D × W ≡ B (mod 65536)
// folded into the offset. For a proven form every true result lies in
// 0..255, so the wrap never shows in the byte kept.
inline BYTE FixedChannel(BYTE a, BYTE b, const Form& form) noexcept
{
    const auto aShifted = static_cast<std::uint16_t>(a + form.m_nOffset);
    const auto d = static_cast<std::uint16_t>(b + form.m_nBias - aShifted);
    const auto r = static_cast<std::uint16_t>(((static_cast<std::uint32_t>(d) * form.m_nMul) >> 16) + aShifted);
    return static_cast<BYTE>(r);
}

void BlendFixedPlain(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount,
                     const Form& form) noexcept
{
    for (std::size_t i = 0; i < nCount; ++i)
        pOut[i] = FixedChannel(pFirst[i], pSecond[i], form);
}

#ifdef PLAVEX_BLEND_X86

// Sixteen channels, widened to 16-bit lanes with the bytes in a16 and b16.
__attribute__((target("avx2"))) inline __m256i FixedAvx2(__m256i a16, __m256i b16, __m256i vMul, __m256i vBias,
                                                         __m256i vOffset) noexcept
{
    const __m256i aShifted = _mm256_add_epi16(a16, vOffset);
    const __m256i d = _mm256_sub_epi16(_mm256_add_epi16(b16, vBias), aShifted);
    return _mm256_add_epi16(_mm256_mulhi_epu16(d, vMul), aShifted);
}

// Thirty-two bytes per step. Unpacking and packing within each 128-bit half
// keeps the bytes in place without any cross-lane shuffle.
__attribute__((target("avx2"))) inline void FixedStepAvx2(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut,
                                                          __m256i vMul, __m256i vBias, __m256i vOffset) noexcept
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pFirst));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pSecond));
    const __m256i low = FixedAvx2(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero), vMul, vBias, vOffset);
    const __m256i high = FixedAvx2(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero), vMul, vBias, vOffset);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pOut), _mm256_packus_epi16(low, high));
}

__attribute__((target("avx2"))) void BlendFixedAvx2(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut,
                                                    std::size_t nCount, const Form& form) noexcept
{
    const __m256i vMul = _mm256_set1_epi16(static_cast<short>(form.m_nMul));
    const __m256i vBias = _mm256_set1_epi16(static_cast<short>(form.m_nBias));
    const __m256i vOffset = _mm256_set1_epi16(static_cast<short>(form.m_nOffset));
    std::size_t i = 0;
    for (; i + 32 <= nCount; i += 32)
        FixedStepAvx2(pFirst + i, pSecond + i, pOut + i, vMul, vBias, vOffset);
    // The tail goes through the same step on padded copies, so the proof
    // covers every instruction that ever produces a byte.
    if (i < nCount) {
        alignas(32) BYTE first[32] = {}, second[32] = {}, out[32];
        std::memcpy(first, pFirst + i, nCount - i);
        std::memcpy(second, pSecond + i, nCount - i);
        FixedStepAvx2(first, second, out, vMul, vBias, vOffset);
        std::memcpy(pOut + i, out, nCount - i);
    }
}

__attribute__((target("avx512f,avx512bw"))) inline __m512i FixedAvx512(__m512i a16, __m512i b16, __m512i vMul,
                                                                       __m512i vBias, __m512i vOffset) noexcept
{
    const __m512i aShifted = _mm512_add_epi16(a16, vOffset);
    const __m512i d = _mm512_sub_epi16(_mm512_add_epi16(b16, vBias), aShifted);
    return _mm512_add_epi16(_mm512_mulhi_epu16(d, vMul), aShifted);
}

__attribute__((target("avx512f,avx512bw"))) inline void FixedStepAvx512(const BYTE* pFirst, const BYTE* pSecond,
                                                                        BYTE* pOut, __m512i vMul, __m512i vBias,
                                                                        __m512i vOffset) noexcept
{
    const __m512i zero = _mm512_setzero_si512();
    const __m512i a = _mm512_loadu_si512(pFirst);
    const __m512i b = _mm512_loadu_si512(pSecond);
    const __m512i low =
        FixedAvx512(_mm512_unpacklo_epi8(a, zero), _mm512_unpacklo_epi8(b, zero), vMul, vBias, vOffset);
    const __m512i high =
        FixedAvx512(_mm512_unpackhi_epi8(a, zero), _mm512_unpackhi_epi8(b, zero), vMul, vBias, vOffset);
    _mm512_storeu_si512(pOut, _mm512_packus_epi16(low, high));
}

__attribute__((target("avx512f,avx512bw"))) void BlendFixedAvx512(const BYTE* pFirst, const BYTE* pSecond,
                                                                  BYTE* pOut, std::size_t nCount,
                                                                  const Form& form) noexcept
{
    const __m512i vMul = _mm512_set1_epi16(static_cast<short>(form.m_nMul));
    const __m512i vBias = _mm512_set1_epi16(static_cast<short>(form.m_nBias));
    const __m512i vOffset = _mm512_set1_epi16(static_cast<short>(form.m_nOffset));
    std::size_t i = 0;
    for (; i + 64 <= nCount; i += 64)
        FixedStepAvx512(pFirst + i, pSecond + i, pOut + i, vMul, vBias, vOffset);
    if (i < nCount) {
        alignas(64) BYTE first[64] = {}, second[64] = {}, out[64];
        std::memcpy(first, pFirst + i, nCount - i);
        std::memcpy(second, pSecond + i, nCount - i);
        FixedStepAvx512(first, second, out, vMul, vBias, vOffset);
        std::memcpy(pOut + i, out, nCount - i);
    }
}

#endif

void BlendFixedOn(BlendPath nPath, const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount,
                  const Form& form) noexcept
{
#ifdef PLAVEX_BLEND_X86
    if (nPath == BlendPath::Avx512) {
        BlendFixedAvx512(pFirst, pSecond, pOut, nCount, form);
        return;
    }
    if (nPath == BlendPath::Avx2) {
        BlendFixedAvx2(pFirst, pSecond, pOut, nCount, form);
        return;
    }
#else
    (void)nPath;
#endif
    BlendFixedPlain(pFirst, pSecond, pOut, nCount, form);
}

// All 65,536 (a, b) pairs: a is the high byte of the pair's number, b the low.
struct AllPairs {
    std::array<BYTE, kPairs> m_first;
    std::array<BYTE, kPairs> m_second;

    AllPairs() noexcept
    {
        for (std::size_t i = 0; i < kPairs; ++i) {
            m_first[i] = static_cast<BYTE>(i >> 8);
            m_second[i] = static_cast<BYTE>(i);
        }
    }
};

const AllPairs& Pairs() noexcept
{
    static const AllPairs pairs;
    return pairs;
}

// Reads the candidate form off the double formula: its step c(d) for each
// difference d = b − a, taken at the smallest a, and the (W, B) for which
// floor((d × W + B) / 65536) = c(d) for every d, with B ≡ D × W (mod 65536)
// for some D in 255..65280. False when no W near w × 65536 has such a B.
bool DeriveForm(double w, Form& form) noexcept
{
    std::array<std::int64_t, 511> steps{};
    for (int d = -255; d <= 255; ++d) {
        const int a = d < 0 ? -d : 0;
        steps[static_cast<std::size_t>(d + 255)] = BlendChannel(a, a + d, w) - a;
    }
    const auto nNearest = static_cast<std::int64_t>(w * 65536.0);
    for (const std::int64_t nDelta : {0, 1, -1, 2, -2}) {
        const std::int64_t nMul = nNearest + nDelta;
        if (nMul < 0 || nMul > 0xFFFF)
            continue;
        // The biases that fit every step; d = 0 alone keeps them in 0..65535.
        std::int64_t nLow = 0;
        std::int64_t nHigh = 0xFFFF;
        for (int d = -255; d <= 255; ++d) {
            const std::int64_t c = steps[static_cast<std::size_t>(d + 255)];
            nLow = std::max(nLow, c * 65536 - d * nMul);
            nHigh = std::min(nHigh, (c + 1) * 65536 - 1 - d * nMul);
        }
        for (std::int64_t nShift = 255; nLow <= nHigh && nShift <= 65280; ++nShift) {
            const std::int64_t nBias = (nShift * nMul) & 0xFFFF;
            if (nBias < nLow || nBias > nHigh)
                continue;
            // B − D × W is a whole number of 65536s: the offset, modulo 2^16.
            const std::int64_t nOffset = (nBias - nShift * nMul) / 65536;
            form.m_nMul = static_cast<std::uint16_t>(nMul);
            form.m_nOffset = static_cast<std::uint16_t>(nOffset & 0xFFFF);
            form.m_nBias = static_cast<std::uint16_t>((nShift + nOffset) & 0xFFFF);
            return true;
        }
    }
    return false;
}

} // namespace

BlendWeight::BlendWeight(double w) noexcept : BlendWeight(w, BlendActivePath()) {}

BlendWeight::BlendWeight(double w, BlendPath nPath) noexcept : m_dWeight(w), m_nPath(nPath)
{
    // Only a weight in 0..1 keeps every result between a and b; NaN fails both.
    if (!(w >= 0.0 && w <= 1.0) || !BlendPathAvailable(nPath))
        return;
    if (DeriveForm(w, m_form))
        m_bInteger = Prove();
}

// Runs the integer kernel that Blend will use and this path's double kernel,
// which gives the plain formula's bytes, over every pair, and compares.
bool BlendWeight::Prove() const noexcept
{
    const std::unique_ptr<BYTE[]> pExpected(new (std::nothrow) BYTE[2 * kPairs]);
    if (!pExpected)
        return false;
    BYTE* pActual = pExpected.get() + kPairs;
    const AllPairs& pairs = Pairs();
    BlendBytesOn(m_nPath, pairs.m_first.data(), pairs.m_second.data(), pExpected.get(), kPairs, m_dWeight);
    BlendFixedOn(m_nPath, pairs.m_first.data(), pairs.m_second.data(), pActual, kPairs, m_form);
    return std::memcmp(pExpected.get(), pActual, kPairs) == 0;
}

void BlendWeight::Blend(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount) const noexcept
{
    if (m_bInteger)
        BlendFixedOn(m_nPath, pFirst, pSecond, pOut, nCount, m_form);
    else
        BlendBytesOn(m_nPath, pFirst, pSecond, pOut, nCount, m_dWeight);
}
