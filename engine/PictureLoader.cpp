#include "engine/PictureLoader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Local
#include "platform/gfx/GfxDecoder.h"

namespace {

// Closes the descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int nFd) noexcept : m_nFd(nFd) {}
    ~FileDescriptor()
    {
        if (m_nFd >= 0)
            ::close(m_nFd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const noexcept { return m_nFd; }

private:
    int m_nFd;
};

EngineError LoadError(EngineErrorCode nCode, const std::string& strPath, const std::string& strWhy)
{
    return EngineError{nCode, "cannot load picture '" + strPath + "': " + strWhy, strPath};
}

// Reads exactly nSize bytes; the loop only resumes a transfer that the
// system split or interrupted.
bool ReadExactly(int nFd, unsigned char* pBlock, std::size_t nSize, int& nErrno) noexcept
{
    std::size_t nDone = 0;
    while (nDone < nSize) {
        const ssize_t nGot = ::read(nFd, pBlock + nDone, nSize - nDone);
        if (nGot < 0 && errno == EINTR)
            continue;
        if (nGot <= 0) {
            nErrno = nGot < 0 ? errno : 0;
            return false;
        }
        nDone += static_cast<std::size_t>(nGot);
    }
    return true;
}

struct FileBytes {
    std::unique_ptr<unsigned char[]> m_pBlock;
    std::size_t m_nLength = 0;
};

// Reads the whole picture file with one read into a block of its exact
// size, after checking that it is a regular file of a size worth reading.
EngineResult<FileBytes> ReadPictureFile(const std::string& strPath)
{
    // O_NONBLOCK: opening a pipe must not wait for a writer; a regular file
    // reads the same either way.
    FileDescriptor file(::open(strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0)
        return LoadError(EngineErrorCode::PictureUnreadable, strPath, std::strerror(errno));

    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        return LoadError(EngineErrorCode::PictureUnreadable, strPath, std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return LoadError(EngineErrorCode::PictureUnreadable, strPath, "not a regular file");
    if (info.st_size == 0)
        return LoadError(EngineErrorCode::PictureUnsupported, strPath, "the file is empty");
    if (info.st_size > kMaxPictureFileBytes)
        return LoadError(EngineErrorCode::PictureTooLarge, strPath, "the file is too large");

    FileBytes bytes;
    bytes.m_nLength = static_cast<std::size_t>(info.st_size);
    bytes.m_pBlock.reset(new (std::nothrow) unsigned char[bytes.m_nLength]);
    if (!bytes.m_pBlock)
        return LoadError(EngineErrorCode::OutOfMemory, strPath, "not enough memory to read the file");

    int nErrno = 0;
    if (!ReadExactly(file.Get(), bytes.m_pBlock.get(), bytes.m_nLength, nErrno))
        return LoadError(EngineErrorCode::PictureUnreadable, strPath,
                         nErrno != 0 ? std::strerror(nErrno) : "the file ended early");
    return bytes;
}

GfxDecodeOptions DecodeOptions()
{
    GfxDecodeOptions options;
    options.m_nMaxPixels = kMaxPicturePixels;
    return options;
}

// The decoder's refusal as the loader tells it: the file, then why. The
// decoder's words are made one line, as the batch tool reports every failure
// in one.
EngineError DecodeError(const EngineError& error, const std::string& strPath)
{
    std::string strDetail = error.m_strMessage;
    std::replace_if(strDetail.begin(), strDetail.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    strDetail.erase(strDetail.find_last_not_of(' ') + 1);
    switch (error.m_nCode) {
    case EngineErrorCode::PictureUnsupported:
        return LoadError(error.m_nCode, strPath, "not a GIF, JPEG, BMP, PNG, WebP, TIFF, HEIF or AVIF picture");
    case EngineErrorCode::PictureTooLarge:
        return LoadError(error.m_nCode, strPath, "the picture is too large (" + strDetail + ")");
    case EngineErrorCode::OutOfMemory:
        return LoadError(error.m_nCode, strPath, "not enough memory to decode the picture");
    default:
        return LoadError(EngineErrorCode::PictureDamaged, strPath,
                         strDetail.empty() ? "the picture is damaged" : "the picture is damaged (" + strDetail + ")");
    }
}

} // namespace

EngineResult<GfxBitmap> LoadPictureFile(const std::string& strPath)
{
    auto bytes = ReadPictureFile(strPath);
    if (!bytes)
        return bytes.Error();
    auto decoded = DecodePicture(bytes.Value().m_pBlock.get(), bytes.Value().m_nLength, DecodeOptions());
    bytes.Value().m_pBlock.reset();
    if (!decoded)
        return DecodeError(decoded.Error(), strPath);
    return std::move(decoded.Value());
}

EngineResult<PictureSize> MeasurePictureFile(const std::string& strPath)
{
    auto bytes = ReadPictureFile(strPath);
    if (!bytes)
        return bytes.Error();
    const auto measured = MeasurePicture(bytes.Value().m_pBlock.get(), bytes.Value().m_nLength, DecodeOptions());
    if (!measured)
        return DecodeError(measured.Error(), strPath);
    return PictureSize{measured.Value().width(), measured.Value().height()};
}
