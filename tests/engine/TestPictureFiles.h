#pragma once

// Builds small picture files byte by byte for the tests, so that every
// format variant is known exactly and nothing comes from outside.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Qt
#include <QColor>

namespace TestPictureFiles {

using Bytes = std::vector<unsigned char>;

inline void PutLe16(Bytes& out, std::uint32_t nValue)
{
    out.push_back(static_cast<unsigned char>(nValue));
    out.push_back(static_cast<unsigned char>(nValue >> 8));
}

inline void PutLe32(Bytes& out, std::uint32_t nValue)
{
    PutLe16(out, nValue & 0xFFFF);
    PutLe16(out, nValue >> 16);
}

inline void WriteFile(const std::string& strPath, const Bytes& bytes)
{
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The colour a generated test picture has at (x, y), counted from the top.
using Pattern = QColor (*)(int x, int y);

inline QColor RgbPattern(int x, int y)
{
    return QColor((x * 37 + y * 11) % 256, (x * 5 + y * 71) % 256, (x * 23 + y * 13 + 7) % 256);
}

// The palette of the indexed test pictures and the index at (x, y). Runs of
// two equal indices give the run-length encoders something to compress.
inline QColor PaletteColor(int nIndex)
{
    return QColor((nIndex * 97) % 256, (nIndex * 53 + 40) % 256, (nIndex * 29 + 200) % 256);
}

inline int PaletteIndex(int x, int y, int nColors)
{
    return (x / 2 + y * 3) % nColors;
}

enum class BmpKind { Bits1, Bits4, Bits8, Bits16, Bits24, Bits32, Rle4, Rle8 };

struct BmpOptions {
    BmpKind m_nKind = BmpKind::Bits24;
    bool m_bTopDown = false;
};

inline int BmpBitCount(BmpKind nKind)
{
    switch (nKind) {
    case BmpKind::Bits1: return 1;
    case BmpKind::Bits4: case BmpKind::Rle4: return 4;
    case BmpKind::Bits8: case BmpKind::Rle8: return 8;
    case BmpKind::Bits16: return 16;
    case BmpKind::Bits24: return 24;
    case BmpKind::Bits32: return 32;
    }
    return 24;
}

// The colour that a BMP made by MakeBmp shows at (x, y). 16-bit pictures use
// only full or empty 5-bit channels; a full one reads as 31 << 3 = 248.
inline QColor BmpExpectedColor(BmpKind nKind, int x, int y)
{
    const int nBits = BmpBitCount(nKind);
    if (nBits <= 8)
        return PaletteColor(PaletteIndex(x, y, 1 << nBits));
    if (nBits == 16) {
        const int n = x + 2 * y;
        return QColor(n % 2 ? 248 : 0, n % 3 ? 248 : 0, n % 5 ? 248 : 0);
    }
    return RgbPattern(x, y);
}

// A complete BMP file of the given kind with the test pattern.
inline Bytes MakeBmp(int nWidth, int nHeight, const BmpOptions& options)
{
    const BmpKind nKind = options.m_nKind;
    const int nBits = BmpBitCount(nKind);
    const bool bRle = nKind == BmpKind::Rle4 || nKind == BmpKind::Rle8;
    const int nColors = nBits <= 8 ? 1 << nBits : 0;

    // Rows in file order: bottom-up unless the header says top-down.
    Bytes pixels;
    for (int nFileRow = 0; nFileRow < nHeight; ++nFileRow) {
        const int y = options.m_bTopDown ? nFileRow : nHeight - 1 - nFileRow;
        if (bRle) {
            // Runs of up to two equal pixels, then end of line.
            for (int x = 0; x < nWidth;) {
                const int nIndex = PaletteIndex(x, y, nColors);
                int nRun = 1;
                while (x + nRun < nWidth && nRun < 2 && PaletteIndex(x + nRun, y, nColors) == nIndex)
                    ++nRun;
                pixels.push_back(static_cast<unsigned char>(nRun));
                pixels.push_back(static_cast<unsigned char>(nBits == 4 ? (nIndex << 4) | nIndex : nIndex));
                x += nRun;
            }
            pixels.push_back(0);
            pixels.push_back(nFileRow + 1 == nHeight ? 1 : 0);
            continue;
        }
        Bytes row;
        std::uint32_t nAccumulator = 0;
        int nAccumulated = 0;
        for (int x = 0; x < nWidth; ++x) {
            if (nBits <= 8) {
                nAccumulator = (nAccumulator << nBits) | static_cast<std::uint32_t>(PaletteIndex(x, y, nColors));
                nAccumulated += nBits;
                if (nAccumulated == 8) {
                    row.push_back(static_cast<unsigned char>(nAccumulator));
                    nAccumulator = 0;
                    nAccumulated = 0;
                }
                continue;
            }
            const QColor color = BmpExpectedColor(nKind, x, y);
            if (nBits == 16) {
                PutLe16(row, static_cast<std::uint32_t>((color.red() >> 3) << 10 | (color.green() >> 3) << 5 |
                                                        (color.blue() >> 3)));
            } else {
                row.push_back(static_cast<unsigned char>(color.blue()));
                row.push_back(static_cast<unsigned char>(color.green()));
                row.push_back(static_cast<unsigned char>(color.red()));
                if (nBits == 32)
                    row.push_back(0);
            }
        }
        if (nAccumulated > 0)
            row.push_back(static_cast<unsigned char>(nAccumulator << (8 - nAccumulated)));
        while (row.size() % 4 != 0)
            row.push_back(0);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }

    const std::uint32_t nOffset = 14 + 40 + static_cast<std::uint32_t>(nColors) * 4;
    Bytes file{'B', 'M'};
    PutLe32(file, nOffset + static_cast<std::uint32_t>(pixels.size()));
    PutLe32(file, 0);
    PutLe32(file, nOffset);
    PutLe32(file, 40);
    PutLe32(file, static_cast<std::uint32_t>(nWidth));
    PutLe32(file, static_cast<std::uint32_t>(options.m_bTopDown ? -nHeight : nHeight));
    PutLe16(file, 1);
    PutLe16(file, static_cast<std::uint32_t>(nBits));
    PutLe32(file, nKind == BmpKind::Rle8 ? 1 : nKind == BmpKind::Rle4 ? 2 : 0);
    PutLe32(file, static_cast<std::uint32_t>(pixels.size()));
    PutLe32(file, 2835);
    PutLe32(file, 2835);
    PutLe32(file, static_cast<std::uint32_t>(nColors));
    PutLe32(file, 0);
    for (int i = 0; i < nColors; ++i) {
        const QColor color = PaletteColor(i);
        file.push_back(static_cast<unsigned char>(color.blue()));
        file.push_back(static_cast<unsigned char>(color.green()));
        file.push_back(static_cast<unsigned char>(color.red()));
        file.push_back(0);
    }
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

struct GifFrame {
    int m_nWidth = 1;
    int m_nHeight = 1;
    std::vector<int> m_indices;   // Row by row from the top, into a 4-colour palette.
    int m_nTransparent = -1;      // Palette index drawn transparent, or -1.
};

// A GIF89a file with a logical screen of the given size, a 4-colour global
// palette and the frames in order. The image data repeats the clear code
// before every pixel, so the code width stays at 3 bits and needs no table.
inline Bytes MakeGif(int nScreenWidth, int nScreenHeight, const std::vector<QColor>& palette,
                     const std::vector<GifFrame>& frames)
{
    Bytes file{'G', 'I', 'F', '8', '9', 'a'};
    PutLe16(file, static_cast<std::uint32_t>(nScreenWidth));
    PutLe16(file, static_cast<std::uint32_t>(nScreenHeight));
    file.push_back(0x80 | 0x01); // Global palette of 2^(1+1) = 4 entries.
    file.push_back(0);
    file.push_back(0);
    for (int i = 0; i < 4; ++i) {
        const QColor color = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : QColor();
        file.push_back(static_cast<unsigned char>(color.red()));
        file.push_back(static_cast<unsigned char>(color.green()));
        file.push_back(static_cast<unsigned char>(color.blue()));
    }
    for (const GifFrame& frame : frames) {
        file.insert(file.end(), {0x21, 0xF9, 4});
        file.push_back(frame.m_nTransparent >= 0 ? 1 : 0);
        PutLe16(file, 10);
        file.push_back(static_cast<unsigned char>(frame.m_nTransparent >= 0 ? frame.m_nTransparent : 0));
        file.push_back(0);

        file.push_back(0x2C);
        PutLe16(file, 0);
        PutLe16(file, 0);
        PutLe16(file, static_cast<std::uint32_t>(frame.m_nWidth));
        PutLe16(file, static_cast<std::uint32_t>(frame.m_nHeight));
        file.push_back(0);

        file.push_back(2); // Minimum code size: clear = 4, end = 5, 3-bit codes.
        std::vector<int> codes;
        for (int nIndex : frame.m_indices) {
            codes.push_back(4);
            codes.push_back(nIndex);
        }
        codes.push_back(5);
        Bytes data;
        std::uint32_t nBitBuffer = 0;
        int nBitCount = 0;
        for (int nCode : codes) {
            nBitBuffer |= static_cast<std::uint32_t>(nCode) << nBitCount;
            nBitCount += 3;
            while (nBitCount >= 8) {
                data.push_back(static_cast<unsigned char>(nBitBuffer));
                nBitBuffer >>= 8;
                nBitCount -= 8;
            }
        }
        if (nBitCount > 0)
            data.push_back(static_cast<unsigned char>(nBitBuffer));
        for (std::size_t nStart = 0; nStart < data.size(); nStart += 255) {
            const std::size_t nChunk = std::min<std::size_t>(255, data.size() - nStart);
            file.push_back(static_cast<unsigned char>(nChunk));
            file.insert(file.end(), data.begin() + static_cast<std::ptrdiff_t>(nStart),
                        data.begin() + static_cast<std::ptrdiff_t>(nStart + nChunk));
        }
        file.push_back(0);
    }
    file.push_back(0x3B);
    return file;
}

} // namespace TestPictureFiles
