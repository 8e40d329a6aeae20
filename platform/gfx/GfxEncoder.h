#pragma once

// Encodes a picture held as 24-bit rows (blue, green, red, bottom row first):
// JPEG with TurboJPEG, the other formats with Qt's image writers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class GfxOutputFormat { Png, Jpeg, WebP, Tiff };

// The encoded file: PNG, JPEG at quality 95 with full colour resolution
// (4:4:4), lossless WebP or TIFF. Empty, with the encoder's words in
// strError, when the encoder fails or memory runs out.
std::vector<unsigned char> EncodeBgrRows(const unsigned char* pRows, std::int32_t nWidth, std::int32_t nHeight,
                                         GfxOutputFormat nFormat, std::string& strError);
