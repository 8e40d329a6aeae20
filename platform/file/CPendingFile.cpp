#include "platform/file/CPendingFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& strPath)
{
    const auto nSlash = strPath.find_last_of('/');
    if (nSlash == std::string::npos)
        return ".";
    if (nSlash == 0)
        return "/";
    return strPath.substr(0, nSlash);
}

std::string BaseNameOf(const std::string& strPath)
{
    const auto nSlash = strPath.find_last_of('/');
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

// Creates a new file under a fresh name built from strPrefix. The kernel
// applies the umask to 0666, as for any new file.
int CreateUnique(const std::string& strPrefix, std::string& strName)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int nTry = 0; nTry < 100; ++nTry) {
        strName = strPrefix;
        for (int i = 0; i < 8; ++i)
            strName += kLetters[pick(random)];
        const int fd = ::open(strName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

CPendingFile::~CPendingFile()
{
    Discard();
}

int CPendingFile::Open(const std::string& strTarget)
{
    Discard();
    if (strTarget.empty() || strTarget.back() == '/')
        return EISDIR;

    bool bExists = false;
    std::string strFinal = strTarget;
    struct stat st {};
    if (::stat(strTarget.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        // Renaming over a device or a pipe would destroy it, not write to it.
        if (!S_ISREG(st.st_mode))
            return EINVAL;
        // An existing file the user may not write stays protected.
        if (::access(strTarget.c_str(), W_OK) != 0)
            return EACCES;
        bExists = true;
        // A link keeps pointing where it did: the file it names is replaced.
        char szResolved[PATH_MAX];
        if (::realpath(strTarget.c_str(), szResolved) != nullptr)
            strFinal = szResolved;
    }

    // A hidden name in the same folder; long names are cut so that the
    // temporary name still fits the file system's limit.
    std::string strName;
    const int fd = CreateUnique(FolderOf(strFinal) + "/." + BaseNameOf(strFinal).substr(0, 200) + ".", strName);
    if (fd < 0)
        return errno;
    // A replaced file keeps its permissions.
    if (bExists)
        ::fchmod(fd, st.st_mode & 07777);

    m_fd = fd;
    m_strTarget = strFinal;
    m_strTemp = strName;
    m_nSize = 0;
    return 0;
}

int CPendingFile::Write(const void* pData, std::size_t nSize)
{
    const int nErr = WriteAt(m_nSize, pData, nSize);
    if (nErr == 0)
        m_nSize += static_cast<std::int64_t>(nSize);
    return nErr;
}

int CPendingFile::WriteAt(std::int64_t nOffset, const void* pData, std::size_t nSize)
{
    if (m_fd < 0)
        return EBADF;
    const auto* p = static_cast<const char*>(pData);
    while (nSize > 0) {
        const ssize_t n = ::pwrite(m_fd, p, nSize, static_cast<off_t>(nOffset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        p += n;
        nSize -= static_cast<std::size_t>(n);
        nOffset += n;
    }
    return 0;
}

int CPendingFile::Commit()
{
    if (m_fd < 0)
        return EBADF;
    int nErr = 0;
    if (::fsync(m_fd) != 0)
        nErr = errno;
    if (::close(m_fd) != 0 && nErr == 0)
        nErr = errno;
    m_fd = -1;
    if (nErr == 0 && ::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0)
        nErr = errno;
    if (nErr != 0) {
        ::unlink(m_strTemp.c_str());
        m_strTemp.clear();
        return nErr;
    }
    // Make the rename itself durable.
    const int dirFd = ::open(FolderOf(m_strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    m_strTemp.clear();
    return 0;
}

void CPendingFile::Discard()
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
