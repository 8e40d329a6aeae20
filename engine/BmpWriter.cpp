#include "engine/BmpWriter.h"

#include <cstring>

// Qt
#include <QByteArray>
#include <QFile>
#include <QSaveFile>

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
    return EngineError{EngineErrorCode::WriteFailed, "cannot write '" + strPath + "': " + strWhy};
}

// Writes the whole block or reports that it could not.
bool WriteAll(QSaveFile& file, const void* pData, std::size_t nSize)
{
    const char* p = static_cast<const char*>(pData);
    while (nSize > 0) {
        const qint64 nWritten = file.write(p, static_cast<qint64>(nSize));
        if (nWritten <= 0)
            return false;
        p += nWritten;
        nSize -= static_cast<std::size_t>(nWritten);
    }
    return true;
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

    // QSaveFile writes beside the target and renames over it on commit only;
    // if it is destroyed uncommitted, the temporary file is removed and the
    // target keeps its old contents.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(strPath)));
    if (!file.open(QIODevice::WriteOnly))
        return WriteError(strPath, file.errorString().toStdString());

    const std::array<BYTE, 14> fileHeader = BuildBitmapFileHeader(canvas);
    if (!WriteAll(file, fileHeader.data(), fileHeader.size()) || !WriteAll(file, infoBytes, sizeof(infoBytes)) ||
        !WriteAll(file, buffer.Data(), canvas.ImageSize())) {
        const std::string strWhy = file.errorString().toStdString();
        file.cancelWriting();
        return WriteError(strPath, strWhy);
    }
    if (!file.commit())
        return WriteError(strPath, file.errorString().toStdString());
    return {};
}
