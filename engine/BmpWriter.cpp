#include "engine/BmpWriter.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The new file is written under a temporary name in the target's folder and
// renamed over the target only once it is complete and on disk, so a write
// cut short (a full disk, a size limit) never takes the place of an old file.
// The names stay bytes from end to end, whatever their encoding.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile() { Discard(); }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Gives an empty text, or why the file cannot be written.
    std::string Open(const std::string& strPath)
    {
        m_strTarget = strPath;
        mode_t nMode = 0666;
        const mode_t nMask = ::umask(0);
        ::umask(nMask);
        nMode &= ~nMask;

        struct stat info {};
        if (::stat(strPath.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode))
                return "it is a folder";
            // Renaming over a device or a pipe would destroy it, not write to it.
            if (!S_ISREG(info.st_mode))
                return "it is not a regular file";
            if (::access(strPath.c_str(), W_OK) != 0)
                return std::strerror(errno);
            nMode = info.st_mode & 07777;
            // A link keeps pointing where it did: the file it names is replaced.
            char szResolved[PATH_MAX];
            if (::realpath(strPath.c_str(), szResolved) != nullptr)
                m_strTarget = szResolved;
        }

        const auto nSlash = m_strTarget.find_last_of('/');
        const std::string strFolder = nSlash == std::string::npos ? "." : nSlash == 0 ? "/" : m_strTarget.substr(0, nSlash);
        std::string strTemplate = strFolder + "/.plavex-XXXXXX";
        std::vector<char> name(strTemplate.begin(), strTemplate.end());
        name.push_back('\0');
        m_fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (m_fd < 0)
            return std::strerror(errno);
        m_strTemp = name.data();
        ::fchmod(m_fd, nMode);
        return {};
    }

    std::string Write(const void* pData, std::size_t nSize)
    {
        const char* p = static_cast<const char*>(pData);
        while (nSize > 0) {
            const ssize_t nWritten = ::write(m_fd, p, nSize);
            if (nWritten < 0 && errno == EINTR)
                continue;
            if (nWritten <= 0)
                return nWritten < 0 ? std::strerror(errno) : "nothing more could be written";
            p += nWritten;
            nSize -= static_cast<std::size_t>(nWritten);
        }
        return {};
    }

    std::string Commit()
    {
        std::string strWhy;
        if (::fsync(m_fd) != 0)
            strWhy = std::strerror(errno);
        if (::close(m_fd) != 0 && strWhy.empty())
            strWhy = std::strerror(errno);
        m_fd = -1;
        if (strWhy.empty() && ::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0)
            strWhy = std::strerror(errno);
        if (!strWhy.empty())
            return strWhy;
        m_strTemp.clear();
        return {};
    }

    void Discard() noexcept
    {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        if (!m_strTemp.empty()) {
            ::unlink(m_strTemp.c_str());
            m_strTemp.clear();
        }
    }

private:
    int m_fd = -1;
    std::string m_strTarget;
    std::string m_strTemp;
};

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

    PendingFile file;
    if (std::string strWhy = file.Open(strPath); !strWhy.empty())
        return WriteError(strPath, strWhy);
    const std::array<BYTE, 14> fileHeader = BuildBitmapFileHeader(canvas);
    std::string strWhy = file.Write(fileHeader.data(), fileHeader.size());
    if (strWhy.empty())
        strWhy = file.Write(infoBytes, sizeof(infoBytes));
    if (strWhy.empty())
        strWhy = file.Write(buffer.Data(), canvas.ImageSize());
    if (strWhy.empty())
        strWhy = file.Commit();
    if (!strWhy.empty())
        return WriteError(strPath, strWhy);
    return {};
}
