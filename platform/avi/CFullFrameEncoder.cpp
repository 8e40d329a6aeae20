#include "platform/avi/CFullFrameEncoder.h"

#include <cstring>

CFullFrameEncoder::CFullFrameEncoder(int nWidth, int nHeight)
    : m_nRowBytes(nWidth * 3), m_nStride((nWidth * 3 + 3) / 4 * 4), m_nHeight(nHeight)
{
}

bool CFullFrameEncoder::Encode(const BYTE* pPixels, int nPitch, EncodedFrame* pOut)
{
    if (!pPixels || nPitch < m_nRowBytes) {
        m_strError = "The frame is missing or its rows are too short.";
        return false;
    }
    const std::size_t nBytes = static_cast<std::size_t>(m_nStride) * static_cast<std::size_t>(m_nHeight);
    if (nPitch == m_nStride) {
        *pOut = EncodedFrame{pPixels, nBytes, true};
        return true;
    }
    m_frame.resize(nBytes);
    for (int y = 0; y < m_nHeight; ++y) {
        BYTE* pRow = m_frame.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nStride);
        std::memcpy(pRow, pPixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(nPitch),
                    static_cast<std::size_t>(m_nRowBytes));
        std::memset(pRow + m_nRowBytes, 0, static_cast<std::size_t>(m_nStride - m_nRowBytes));
    }
    *pOut = EncodedFrame{m_frame.data(), nBytes, true};
    return true;
}
