#include "engine/PreviewPicture.h"

#include <utility>

// Local
#include "engine/PictureLoader.h"
#include "platform/gfx/GfxStretch.h"

EngineResult<PreviewPicture> LoadPreviewPicture(const std::string& strPath, std::int32_t nMaxSide)
{
    auto loaded = LoadPictureFile(strPath);
    if (!loaded)
        return loaded.Error();
    PreviewPicture picture;
    picture.m_nWidth = loaded.Value().Width();
    picture.m_nHeight = loaded.Value().Height();
    picture.m_bitmap = ReduceBitmap(loaded.Value(), nMaxSide);
    if (picture.m_bitmap.IsNull())
        return EngineError{EngineErrorCode::OutOfMemory, "cannot reduce picture '" + strPath + "' for the preview", strPath};
    return picture;
}
