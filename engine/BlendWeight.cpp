#include "engine/BlendWeight.h"

#include <algorithm>
#include <array>
#include <bit>
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

// The index into the thresholds: b − a for a rising form, a − b for a
// falling one, and 0 (whose threshold is 0) for the other sign.
inline std::size_t ThresholdIndex(BYTE a, BYTE b, bool bFalling) noexcept
{
    const int x = bFalling ? a - b : b - a;
    return x > 0 ? static_cast<std::size_t>(x) : 0;
}

// Every kernel computes, per byte, in 16-bit lanes that wrap,
//     a' = a + offset,  d = b + bias − a' = b − a + D (0..65535),
//     r = ((d × mul) >> 16) + a',
// which is a + floor(((b − a) × W + B) / 65536) with D × W ≡ B (mod 65536)
// folded into the offset, and then takes one off where a lies below the
// threshold of its difference. For a proven form every true result lies in
// 0..255, so the wrap never shows in the byte kept.
inline BYTE FixedChannel(BYTE a, BYTE b, const Form& form) noexcept
{
    const auto aShifted = static_cast<std::uint16_t>(a + form.m_nOffset);
    const auto d = static_cast<std::uint16_t>(b + form.m_nBias - aShifted);
    const auto r = static_cast<std::uint16_t>(((static_cast<std::uint32_t>(d) * form.m_nMul) >> 16) + aShifted);
    const bool bBelow = a < form.m_thresholds[ThresholdIndex(a, b, form.m_bFalling)];
    return static_cast<BYTE>(r - (bBelow ? 1 : 0));
}

void BlendFixedPlain(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount,
                     const Form& form) noexcept
{
    for (std::size_t i = 0; i < nCount; ++i)
        pOut[i] = FixedChannel(pFirst[i], pSecond[i], form);
}

#ifdef PLAVEX_BLEND_X86

// Runs a kernel's step over whole blocks of kStep bytes, and the tail through
// the same step on padded copies, so the proof covers every instruction that
// ever produces a byte. Inlined into each kernel; the step, a lambda, names
// the kernel's instruction set itself, since lambdas do not inherit it.
template <std::size_t kStep, typename Step>
__attribute__((always_inline)) inline void RunSteps(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut,
                                                    std::size_t nCount, const Step& step) noexcept
{
    std::size_t i = 0;
    for (; i + kStep <= nCount; i += kStep)
        step(pFirst + i, pSecond + i, pOut + i);
    if (i < nCount) {
        alignas(64) BYTE first[kStep] = {}, second[kStep] = {}, out[kStep];
        std::memcpy(first, pFirst + i, nCount - i);
        std::memcpy(second, pSecond + i, nCount - i);
        step(first, second, out);
        std::memcpy(pOut + i, out, nCount - i);
    }
}

// Sixteen channels, widened to 16-bit lanes with the bytes in a16 and b16.
__attribute__((target("avx2"))) inline __m256i FixedAvx2(__m256i a16, __m256i b16, __m256i vMul, __m256i vBias,
                                                         __m256i vOffset) noexcept
{
    const __m256i aShifted = _mm256_add_epi16(a16, vOffset);
    const __m256i d = _mm256_sub_epi16(_mm256_add_epi16(b16, vBias), aShifted);
    return _mm256_add_epi16(_mm256_mulhi_epu16(d, vMul), aShifted);
}

// How a kernel finds the lanes that get one less: none, by the table of
// thresholds, or by the rounding rule the thresholds follow for nearly every
// weight. For a difference with a threshold, the product (b − a) × w lies one
// unit in its last place below the form's step c, and a + product rounds up
// to a + c, the form's r, exactly when the doubles just below r lie at least
// twice that unit apart: when r − 1 has a higher leading bit than n', the
// whole part of the product's size (|c| − 1 for rising lanes, |c| for
// falling ones). The rule needs no lookup of thresholds, only of which
// differences have one; the proof decides whether it holds for the weight.
enum class Correction { None, Table, Rule };

// The AVX2 kernel's constants. The table is looked up sixteen thresholds at
// a time: one shuffle table for each group of sixteen indices that holds any.
// The rule needs only which indices have a threshold, eight to a byte.
struct Avx2Form {
    __m256i m_vMul;
    __m256i m_vBias;
    __m256i m_vOffset;
    bool m_bFalling;
    int m_nGroups = 0;
    __m256i m_keys[16];   // 16 j in every byte, for group j
    __m256i m_tables[16]; // the group's thresholds, in both halves
    __m256i m_vSetLow;    // byte h: bit i set when 16 h + i has a threshold
    __m256i m_vSetHigh;   // byte h: bit i set when 16 h + 8 + i has one
    __m256i m_vFlip;      // n' = ((r − a) XOR flip) + step
    __m256i m_vStep;
};

__attribute__((target("avx2"))) void LoadAvx2Form(const Form& form, Avx2Form& vector) noexcept
{
    vector.m_vMul = _mm256_set1_epi16(static_cast<short>(form.m_nMul));
    vector.m_vBias = _mm256_set1_epi16(static_cast<short>(form.m_nBias));
    vector.m_vOffset = _mm256_set1_epi16(static_cast<short>(form.m_nOffset));
    vector.m_bFalling = form.m_bFalling;
    alignas(16) BYTE setLow[16] = {}, setHigh[16] = {};
    for (std::size_t x = 0; x < 256; ++x) {
        BYTE* pSet = x % 16 < 8 ? setLow : setHigh;
        if (form.m_thresholds[x] != 0)
            pSet[x / 16] = static_cast<BYTE>(pSet[x / 16] | 1U << (x % 8));
    }
    vector.m_vSetLow = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(setLow)));
    vector.m_vSetHigh = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(setHigh)));
    vector.m_vFlip = _mm256_set1_epi8(form.m_bFalling ? -1 : 0);
    vector.m_vStep = _mm256_set1_epi8(form.m_bFalling ? 1 : -1);
    for (int j = 0; j < 16; ++j) {
        if ((form.m_nThresholdGroups >> j & 1) == 0)
            continue;
        vector.m_keys[vector.m_nGroups] = _mm256_set1_epi8(static_cast<char>(16 * j));
        vector.m_tables[vector.m_nGroups] = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(form.m_thresholds.data() + 16 * j)));
        ++vector.m_nGroups;
    }
}

// Thirty-two bytes per step. Unpacking and packing within each 128-bit half
// keeps the bytes in place without any cross-lane shuffle, so the correction
// works on the bytes as loaded.
template <Correction nCorrection>
__attribute__((target("avx2"))) inline void FixedStepAvx2(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut,
                                                          const Avx2Form& form) noexcept
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pFirst));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pSecond));
    const __m256i low = FixedAvx2(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero), form.m_vMul,
                                  form.m_vBias, form.m_vOffset);
    const __m256i high = FixedAvx2(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero), form.m_vMul,
                                   form.m_vBias, form.m_vOffset);
    __m256i r = _mm256_packus_epi16(low, high);
    const __m256i x = form.m_bFalling ? _mm256_subs_epu8(a, b) : _mm256_subs_epu8(b, a);
    if constexpr (nCorrection == Correction::Table) {
        // x XOR 16 j lies in 0..15 exactly for the indices of group j; the
        // saturating add keeps those and sets the top bit of all others,
        // for which the shuffle gives 0.
        const __m256i vSelect = _mm256_set1_epi8(0x70);
        __m256i threshold = zero;
        for (int j = 0; j < form.m_nGroups; ++j) {
            const __m256i nInGroup = _mm256_adds_epu8(_mm256_xor_si256(x, form.m_keys[j]), vSelect);
            threshold = _mm256_or_si256(threshold, _mm256_shuffle_epi8(form.m_tables[j], nInGroup));
        }
        // a < threshold exactly where threshold − a, saturated, is not 0.
        const __m256i below = _mm256_min_epu8(_mm256_subs_epu8(threshold, a), _mm256_set1_epi8(1));
        r = _mm256_sub_epi8(r, below);
    }
    if constexpr (nCorrection == Correction::Rule) {
        // Whether x has a threshold: bit x % 8 of byte x / 8 of the set,
        // found by x / 16, the half of the group (the blend reads bit 3 of
        // x % 16 at the top) and a shuffle of single bits.
        const __m256i vNibble = _mm256_set1_epi8(0x0F);
        const __m256i group = _mm256_and_si256(_mm256_srli_epi16(x, 4), vNibble);
        const __m256i inGroup = _mm256_and_si256(x, vNibble);
        const __m256i set = _mm256_blendv_epi8(_mm256_shuffle_epi8(form.m_vSetLow, group),
                                               _mm256_shuffle_epi8(form.m_vSetHigh, group),
                                               _mm256_slli_epi16(inGroup, 4));
        const __m256i bit = _mm256_shuffle_epi8(_mm256_set1_epi64x(0x8040201008040201LL), inGroup);
        const __m256i member = _mm256_cmpeq_epi8(_mm256_and_si256(set, bit), bit);
        // The lane keeps r exactly when r − 1 has a higher leading bit than
        // n', which is so when n' < ((r − 1) AND NOT n').
        const __m256i n = _mm256_add_epi8(_mm256_xor_si256(_mm256_sub_epi8(r, a), form.m_vFlip), form.m_vStep);
        const __m256i rLess = _mm256_sub_epi8(r, _mm256_set1_epi8(1));
        const __m256i lower = _mm256_cmpeq_epi8(_mm256_max_epu8(n, _mm256_andnot_si256(n, rLess)), n);
        r = _mm256_add_epi8(r, _mm256_and_si256(member, lower));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pOut), r);
}

template <Correction nCorrection>
__attribute__((target("avx2"))) void BlendFixedAvx2(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut,
                                                    std::size_t nCount, const Form& form) noexcept
{
    Avx2Form vector;
    LoadAvx2Form(form, vector);
    RunSteps<32>(pFirst, pSecond, pOut, nCount,
                 [&](const BYTE* pA, const BYTE* pB, BYTE* pR) __attribute__((target("avx2"))) {
                     FixedStepAvx2<nCorrection>(pA, pB, pR, vector);
                 });
}

__attribute__((target("avx512f,avx512bw"))) inline __m512i FixedAvx512(__m512i a16, __m512i b16, __m512i vMul,
                                                                       __m512i vBias, __m512i vOffset) noexcept
{
    const __m512i aShifted = _mm512_add_epi16(a16, vOffset);
    const __m512i d = _mm512_sub_epi16(_mm512_add_epi16(b16, vBias), aShifted);
    return _mm512_add_epi16(_mm512_mulhi_epu16(d, vMul), aShifted);
}

// Sixty-four channels of the form, before any correction.
__attribute__((target("avx512f,avx512bw"))) inline __m512i FixedBytesAvx512(__m512i a, __m512i b, __m512i vMul,
                                                                            __m512i vBias, __m512i vOffset) noexcept
{
    const __m512i zero = _mm512_setzero_si512();
    const __m512i low =
        FixedAvx512(_mm512_unpacklo_epi8(a, zero), _mm512_unpacklo_epi8(b, zero), vMul, vBias, vOffset);
    const __m512i high =
        FixedAvx512(_mm512_unpackhi_epi8(a, zero), _mm512_unpackhi_epi8(b, zero), vMul, vBias, vOffset);
    return _mm512_packus_epi16(low, high);
}

__attribute__((target("avx512f,avx512bw"))) void BlendFixedAvx512(const BYTE* pFirst, const BYTE* pSecond,
                                                                  BYTE* pOut, std::size_t nCount,
                                                                  const Form& form) noexcept
{
    const __m512i vMul = _mm512_set1_epi16(static_cast<short>(form.m_nMul));
    const __m512i vBias = _mm512_set1_epi16(static_cast<short>(form.m_nBias));
    const __m512i vOffset = _mm512_set1_epi16(static_cast<short>(form.m_nOffset));
    RunSteps<64>(pFirst, pSecond, pOut, nCount, [&](const BYTE* pA, const BYTE* pB, BYTE* pR)
                 __attribute__((target("avx512f,avx512bw"))) {
        const __m512i r = FixedBytesAvx512(_mm512_loadu_si512(pA), _mm512_loadu_si512(pB), vMul, vBias, vOffset);
        _mm512_storeu_si512(pR, r);
    });
}

// With the byte permutes of AVX-512 VBMI a table of 256 bytes sits in four
// registers and two permutes look up any index, the top bit of the index
// choosing between them: the first fills the lanes whose index has it, the
// second the others. Looking up the steps of both signs and the thresholds
// costs less than computing the form and then looking up the thresholds.
struct VbmiTable {
    __m512i m_parts[4];
};

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline VbmiTable LoadVbmiTable(
    const std::array<BYTE, 256>& table) noexcept
{
    VbmiTable vector;
    for (std::size_t j = 0; j < 4; ++j)
        vector.m_parts[j] = _mm512_loadu_si512(table.data() + 64 * j);
    return vector;
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline __m512i LookUpVbmi(const VbmiTable& table,
                                                                                 __m512i x,
                                                                                 __mmask64 nTopBit) noexcept
{
    const __m512i upper = _mm512_mask2_permutex2var_epi8(table.m_parts[2], x, nTopBit, table.m_parts[3]);
    return _mm512_mask2_permutex2var_epi8(table.m_parts[0], upper, _knot_mask64(nTopBit), table.m_parts[1]);
}

// r = a + steps[b − a] − [a < thresholds[x]], all in bytes.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void BlendTableAvx512(const BYTE* pFirst,
                                                                             const BYTE* pSecond, BYTE* pOut,
                                                                             std::size_t nCount,
                                                                             const Form& form) noexcept
{
    const VbmiTable stepsUp = LoadVbmiTable(form.m_stepsUp);
    const VbmiTable stepsDown = LoadVbmiTable(form.m_stepsDown);
    const VbmiTable thresholds = LoadVbmiTable(form.m_thresholds);
    const __m512i vOne = _mm512_set1_epi8(1);
    const bool bFalling = form.m_bFalling;
    RunSteps<64>(pFirst, pSecond, pOut, nCount, [&](const BYTE* pA, const BYTE* pB, BYTE* pR)
                 __attribute__((target("avx512f,avx512bw,avx512vbmi"))) {
        const __m512i a = _mm512_loadu_si512(pA);
        const __m512i b = _mm512_loadu_si512(pB);
        // One of b − a and a − b, saturated, is 0, and so is its step.
        const __m512i up = _mm512_subs_epu8(b, a);
        const __m512i down = _mm512_subs_epu8(a, b);
        const __mmask64 nUpTop = _mm512_movepi8_mask(up);
        const __mmask64 nDownTop = _mm512_movepi8_mask(down);
        const __m512i r = _mm512_add_epi8(
            a, _mm512_add_epi8(LookUpVbmi(stepsUp, up, nUpTop), LookUpVbmi(stepsDown, down, nDownTop)));
        const __m512i threshold =
            bFalling ? LookUpVbmi(thresholds, down, nDownTop) : LookUpVbmi(thresholds, up, nUpTop);
        _mm512_storeu_si512(pR, _mm512_mask_sub_epi8(r, _mm512_cmplt_epu8_mask(a, threshold), r, vOne));
    });
}

bool HasVbmi() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512vbmi");
}

const bool g_bVbmi = HasVbmi();

#endif

void BlendFixedOn(BlendPath nPath, const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount,
                  const Form& form) noexcept
{
#ifdef PLAVEX_BLEND_X86
    const bool bCorrect = form.m_nThresholdGroups != 0;
    // An AVX-512 processor without VBMI corrects lanes with the AVX2 kernel.
    if (nPath == BlendPath::Avx512 && (!bCorrect || g_bVbmi)) {
        (bCorrect ? BlendTableAvx512 : BlendFixedAvx512)(pFirst, pSecond, pOut, nCount, form);
        return;
    }
    if (nPath == BlendPath::Avx512 || nPath == BlendPath::Avx2) {
        if (!bCorrect)
            BlendFixedAvx2<Correction::None>(pFirst, pSecond, pOut, nCount, form);
        else if (form.m_bByRoundingRule)
            BlendFixedAvx2<Correction::Rule>(pFirst, pSecond, pOut, nCount, form);
        else
            BlendFixedAvx2<Correction::Table>(pFirst, pSecond, pOut, nCount, form);
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

// Reads the candidate form off the double formula's bytes for all pairs
// (pExpected, numbered as AllPairs numbers them): the step c(d) = r − a for
// each difference d = b − a at the largest a, kept also as a table of bytes;
// for each difference whose step is lower at the smallest a, the first a
// that reaches c(d), which becomes its threshold (these differences must all
// have one sign); and the (W, B) for which floor((d × W + B) / 65536) = c(d)
// for every d, with B ≡ D × W (mod 65536) for some D in 255..65280. False
// when the differences to correct have both signs or no W near w × 65536 has
// such a B.
bool DeriveForm(const BYTE* pExpected, double w, Form& form) noexcept
{
    const auto step = [pExpected](int a, int d) { return pExpected[a * 256 + a + d] - a; };
    std::array<std::int64_t, 511> steps{};
    for (int d = -255; d <= 255; ++d) {
        const auto x = static_cast<std::size_t>(d < 0 ? -d : d);
        const int nHigh = step(d < 0 ? 255 : 255 - d, d);
        steps[static_cast<std::size_t>(d + 255)] = nHigh;
        std::array<BYTE, 256>& byDifference = d < 0 ? form.m_stepsDown : form.m_stepsUp;
        byDifference[x] = static_cast<BYTE>(nHigh);
        int a = d < 0 ? -d : 0;
        if (step(a, d) == nHigh)
            continue;
        if (form.m_nThresholdGroups != 0 && form.m_bFalling != (d < 0))
            return false;
        while (step(a, d) != nHigh)
            ++a;
        form.m_bFalling = d < 0;
        form.m_thresholds[x] = static_cast<BYTE>(a);
        form.m_nThresholdGroups = static_cast<std::uint16_t>(form.m_nThresholdGroups | 1U << (x / 16));
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
    // This path's double kernel gives the plain formula's bytes.
    const std::unique_ptr<BYTE[]> pBytes(new (std::nothrow) BYTE[2 * kPairs]);
    if (!pBytes)
        return;
    const AllPairs& pairs = Pairs();
    BlendBytesOn(m_nPath, pairs.m_first.data(), pairs.m_second.data(), pBytes.get(), kPairs, m_dWeight);
    if (!DeriveForm(pBytes.get(), w, m_form))
        return;
    // The AVX2 kernel pays for the table by the group of sixteen thresholds;
    // past four groups the rounding rule costs less, where it holds.
    m_form.m_bByRoundingRule = std::popcount(m_form.m_nThresholdGroups) > 4;
    m_bInteger = Prove(pBytes.get(), pBytes.get() + kPairs);
    if (!m_bInteger && m_form.m_bByRoundingRule) {
        m_form.m_bByRoundingRule = false;
        m_bInteger = Prove(pBytes.get(), pBytes.get() + kPairs);
    }
}

// Runs the integer kernel that Blend will use over every pair and compares it
// with the double formula's bytes.
bool BlendWeight::Prove(const BYTE* pExpected, BYTE* pActual) const noexcept
{
    const AllPairs& pairs = Pairs();
    BlendFixedOn(m_nPath, pairs.m_first.data(), pairs.m_second.data(), pActual, kPairs, m_form);
    return std::memcmp(pExpected, pActual, kPairs) == 0;
}

void BlendWeight::Blend(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount) const noexcept
{
    if (m_bInteger)
        BlendFixedOn(m_nPath, pFirst, pSecond, pOut, nCount, m_form);
    else
        BlendBytesOn(m_nPath, pFirst, pSecond, pOut, nCount, m_dWeight);
}
