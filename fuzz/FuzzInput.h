#pragma once

// Guards nothing itself: a fuzz input read as little-endian numbers (zeros
// past its end), and the check that stops a run.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

inline void Require(bool bCondition)
{
    if (!bCondition)
        std::abort();
}

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* pData, std::size_t nSize) : m_pData(pData), m_nSize(nSize) {}

    bool AtEnd() const { return m_nPos >= m_nSize; }
    std::uint8_t Byte() { return m_nPos < m_nSize ? m_pData[m_nPos++] : 0; }
    std::uint64_t Uint(int nBytes)
    {
        std::uint64_t n = 0;
        for (int i = 0; i < nBytes; ++i)
            n |= std::uint64_t{Byte()} << (8 * i);
        return n;
    }
    std::int32_t Int32() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(Uint(4))); }
    const std::uint8_t* Rest() const { return m_pData + m_nPos; }
    std::size_t RestSize() const { return m_nSize - m_nPos; }

private:
    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
};
