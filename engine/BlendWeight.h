#pragma once

// One blend weight made ready for whole pictures. The double formula
// trunc((b − a) × w + a) is compute-bound; the same bytes come from a
// fixed-point form
//
//     r = a + floor(((b − a) × W + B) / 65536) − [a < T(b − a)]
//
// with a 16-bit W and a bias B chosen for the weight. For most weights the
// step r − a depends on b − a alone and T is 0 everywhere. For some, the
// product (b − a) × w rounds to just below a whole number, and whether adding
// a carries over to it depends on the size of a: there the formula gives one
// less for small a. That happens for some differences b − a, all of one sign,
// and each has one threshold T below which a gets one less; the form takes
// the steps of the largest a and corrects just those lanes from a table of
// the thresholds. (With AVX-512 VBMI the steps too come from a table, which
// is quicker there than computing them.)
//
// The form is used only after it has been run over all 65,536 (a, b) pairs
// on the path that will use it and has given the double formula's byte for
// every one; a weight for which no such form exists keeps the double
// formula. The bytes are therefore the same either way.

#include <array>
#include <cstddef>
#include <cstdint>

// Local
#include "engine/Blend.h"
#include "platform/win/WinTypes.h"

class BlendWeight {
public:
    // Prepares w for the widest path this processor has.
    explicit BlendWeight(double w) noexcept;
    // Prepares w for the given path, which must be available.
    BlendWeight(double w, BlendPath nPath) noexcept;

    double Value() const noexcept { return m_dWeight; }
    // True when the fixed-point form was proven and is used.
    bool IsInteger() const noexcept { return m_bInteger; }

    // Blends nCount bytes channel by channel.
    void Blend(const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount) const noexcept;

    // The fixed-point form as the kernels take it, in 16-bit arithmetic
    // that wraps: with a' = a + m_nOffset and d = b + m_nBias − a' (which is
    // b − a + D for a constant D of 255 or more, so never negative),
    // r = ((d × m_nMul) >> 16) + a'. D is chosen so that the bias B is a
    // whole multiple of 65536 away from D × W and no carry is ever needed.
    // Then, in bytes, with x = b − a (a − b when m_bFalling) or 0 when that
    // is negative, r gets one less where a < m_thresholds[x].
    struct Form {
        std::uint16_t m_nMul = 0;
        std::uint16_t m_nBias = 0;
        std::uint16_t m_nOffset = 0;
        // The lanes corrected are those with b < a.
        bool m_bFalling = false;
        // Bit j is set when some x in 16 j .. 16 j + 15 has a threshold.
        std::uint16_t m_nThresholdGroups = 0;
        // m_thresholds[0] is always 0, so lanes of the other sign keep r.
        std::array<BYTE, 256> m_thresholds{};
        // The form's steps r − a before the correction, modulo 256, for
        // b − a = x (m_stepsUp[x]) and b − a = −x (m_stepsDown[x]), for
        // kernels that look them up rather than compute them.
        std::array<BYTE, 256> m_stepsUp{};
        std::array<BYTE, 256> m_stepsDown{};
        // The AVX2 kernel finds the lanes below their thresholds by the
        // rounding rule that the thresholds follow rather than by the table;
        // the other kernels ignore this.
        bool m_bByRoundingRule = false;
    };

private:
    bool Prove(const BYTE* pExpected, BYTE* pActual) const noexcept;

    double m_dWeight;
    BlendPath m_nPath;
    Form m_form;
    bool m_bInteger = false;
};
