#include "engine/BmpWriter.h"

#include <cerrno>
#include <cstring>

// Local
#include "platform/file/CPendingFile.h"

namespace {

void PutLe16(BYTE* p, WORD nValue) noexcept
{
    p[0] = static_cast<BYTE>(nValue);
    p[1] = static_cast<BYTE>(nValue >> 8);
}

void PutLe32(BYTE* p, DWORD nValue) noexcept
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(nValue >> (8 * i));
}

constexpr DWORD kHeadersSize = 14 + sizeof(BITMAPINFOHEADER);

EngineError WriteError(const std::string& strPath, const std::string& strWhy)
{
    return EngineError{EngineErrorCode::WriteFailed, "cannot write '" + strPath + "': " + strWhy, strPath};
}

// Says why a pending file could not be opened or written.
std::string Reason(int nErr)
{
    if (nErr == EISDIR)
        return "it is a folder";
    if (nErr == EINVAL)
        return "it is not a regular file";
    return std::strerror(nErr);
}

} // namespace

std::array<BYTE, 14> BuildBitmapFileHeader(const Canvas& canvas) noexcept
{
    std::array<BYTE, 14> header{};
    header[0] = 'B';
    header[1] = 'M';
    PutLe32(&header[2], canvas.ImageSize() + kHeadersSize);
    PutLe16(&header[6], 0);
    PutLe16(&header[8], 0);
    PutLe32(&header[10], kHeadersSize);
    return header;
}

EngineResult<void> SaveBitmapFile(const std::string& strPath, const PixelBuffer& buffer, const Canvas& canvas)
{
    if (strPath.empty())
        return WriteError(strPath, "no file name");
    if (buffer.Size() < canvas.ImageSize())
        return WriteError(strPath, "the picture buffer is smaller than the image");

    // The info header goes out field by field in little-endian order, so the
    // file is right whatever the host's byte order.
    const BITMAPINFOHEADER& info = canvas.Header();
    BYTE infoBytes[sizeof(BITMAPINFOHEADER)] = {};
    PutLe32(infoBytes + 0, info.biSize);
    PutLe32(infoBytes + 4, static_cast<DWORD>(info.biWidth));
    PutLe32(infoBytes + 8, static_cast<DWORD>(info.biHeight));
    PutLe16(infoBytes + 12, info.biPlanes);
    PutLe16(infoBytes + 14, info.biBitCount);
    PutLe32(infoBytes + 16, info.biCompression);
    PutLe32(infoBytes + 20, info.biSizeImage);
    PutLe32(infoBytes + 24, static_cast<DWORD>(info.biXPelsPerMeter));
    PutLe32(infoBytes + 28, static_cast<DWORD>(info.biYPelsPerMeter));
    PutLe32(infoBytes + 32, info.biClrUsed);
    PutLe32(infoBytes + 36, info.biClrImportant);

    const std::array<BYTE, 14> fileHeader = BuildBitmapFileHeader(canvas);
    return SaveWholeFile(strPath, {fileHeader, infoBytes, {buffer.Data(), canvas.ImageSize()}});
}

EngineResult<void> SaveWholeFile(const std::string& strPath, std::initializer_list<std::span<const BYTE>> parts)
{
    // The file is written under a temporary name beside the target and
    // renamed over it only once it is complete and on disk, so a write cut
    // short (a full disk, a size limit) never takes the place of an old file.
    CPendingFile file;
    int nErr = file.Open(strPath);
    for (const std::span<const BYTE>& part : parts)
        if (nErr == 0)
            nErr = file.Write(part.data(), part.size());
    if (nErr == 0)
        nErr = file.Commit();
    if (nErr != 0)
        return WriteError(strPath, Reason(nErr));
    return {};
}
