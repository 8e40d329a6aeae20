#pragma once

// Writes a canvas-sized picture as an uncompressed 24-bit BMP file: the
// 14-byte file header, the canvas's 40-byte info header, then the pixel rows
// exactly as they are held in memory.

#include <array>
#include <initializer_list>
#include <span>
#include <string>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "engine/PixelBuffer.h"
#include "platform/win/WinTypes.h"

// The 14 file-header bytes for a canvas: "BM", file size, offset 54.
std::array<BYTE, 14> BuildBitmapFileHeader(const Canvas& canvas) noexcept;

// Writes the picture to strPath. The bytes go to a temporary file beside the
// target, which replaces the target only once it is complete and flushed; on
// any failure the temporary file is removed, an existing target is left as it
// was, and WriteFailed is returned. The buffer must hold the image size.
EngineResult<void> SaveBitmapFile(const std::string& strPath, const PixelBuffer& buffer, const Canvas& canvas);

// Writes the parts, one after the other, as the whole new content of
// strPath, with the same guarantees: a temporary file beside the target that
// replaces it only once complete and flushed, or WriteFailed and no trace.
EngineResult<void> SaveWholeFile(const std::string& strPath, std::initializer_list<std::span<const BYTE>> parts);
