#include "engine/StillFile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

// Local
#include "engine/BmpWriter.h"
#include "platform/gfx/GfxEncoder.h"

namespace {

struct Extension {
    std::string_view m_strName;
    std::optional<GfxOutputFormat> m_nFormat; // none: BMP
    bool m_bWritable = true;
};

// Every extension with a meaning of its own; any other name is a BMP.
constexpr Extension kExtensions[] = {
    {"bmp", std::nullopt},           {"png", GfxOutputFormat::Png},   {"jpg", GfxOutputFormat::Jpeg},
    {"jpeg", GfxOutputFormat::Jpeg}, {"webp", GfxOutputFormat::WebP}, {"tif", GfxOutputFormat::Tiff},
    {"tiff", GfxOutputFormat::Tiff}, {"gif", std::nullopt, false},    {"heic", std::nullopt, false},
    {"heif", std::nullopt, false},   {"avif", std::nullopt, false},
};

// The row of strPath's extension (after the last dot of the last name); the
// BMP row for a name without one or with one of no meaning.
const Extension& ExtensionOf(const std::string& strPath)
{
    const std::size_t nDot = strPath.find_last_of("./");
    std::string strExt = nDot != std::string::npos && strPath[nDot] == '.' ? strPath.substr(nDot + 1) : "";
    std::transform(strExt.begin(), strExt.end(), strExt.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto pRow = std::find_if(std::begin(kExtensions), std::end(kExtensions),
                                   [&](const Extension& row) { return row.m_strName == strExt; });
    return pRow != std::end(kExtensions) ? *pRow : kExtensions[0];
}

} // namespace

EngineResult<void> CheckStillFileName(const std::string& strPath)
{
    const Extension& ext = ExtensionOf(strPath);
    if (ext.m_bWritable)
        return {};
    std::string strFormat(ext.m_strName);
    std::transform(strFormat.begin(), strFormat.end(), strFormat.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return EngineError{EngineErrorCode::OutputFormatUnwritable,
                       "cannot write '" + strPath + "': stills are written as BMP, PNG, JPEG, WebP or TIFF, not " +
                           strFormat,
                       strPath};
}

EngineResult<void> SaveStillFile(const std::string& strPath, const PixelBuffer& buffer, const Canvas& canvas)
{
    if (auto checked = CheckStillFileName(strPath); !checked)
        return checked;
    const Extension& ext = ExtensionOf(strPath);
    if (!ext.m_nFormat)
        return SaveBitmapFile(strPath, buffer, canvas);
    if (buffer.Size() < canvas.ImageSize())
        return EngineError{EngineErrorCode::WriteFailed,
                           "cannot write '" + strPath + "': the picture buffer is smaller than the image"};
    std::string strWhy;
    const std::vector<unsigned char> bytes =
        EncodeBgrRows(buffer.Data(), canvas.Width(), canvas.Height(), *ext.m_nFormat, strWhy);
    if (bytes.empty())
        return EngineError{EngineErrorCode::WriteFailed, "cannot write '" + strPath + "': " + strWhy};
    return SaveWholeFile(strPath, {bytes});
}
