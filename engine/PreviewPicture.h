#pragma once

// A source picture kept small for the screen: thumbnails and the live
// preview draw from it, while the renders always load the file afresh.

#include <cstdint>
#include <string>

// Local
#include "engine/EngineResult.h"
#include "platform/gfx/GfxBitmap.h"

struct PreviewPicture {
    GfxBitmap m_bitmap;          // no side longer than the limit it was loaded with
    std::int32_t m_nWidth = 0;   // the whole picture's size, as the canvas rule sees it
    std::int32_t m_nHeight = 0;
};

// Loads the picture exactly as a render does (same formats, limits and
// refusals) and keeps a copy reduced to at most nMaxSide on either side.
EngineResult<PreviewPicture> LoadPreviewPicture(const std::string& strPath, std::int32_t nMaxSide);
