#pragma once

// Encodes a picture held as 24-bit rows (blue, green, red, bottom row first)
// with Qt's image writers.

#include <cstddef>
#include <cstdint>
#include <vector>

enum class GfxOutputFormat { Png, Jpeg, WebP, Tiff };

// The encoded file: PNG, JPEG at quality 95, lossless WebP or TIFF. Empty
// when the writer fails or memory runs out.
std::vector<unsigned char> EncodeBgrRows(const unsigned char* pRows, std::int32_t nWidth, std::int32_t nHeight,
                                         GfxOutputFormat nFormat);
