#include "platform/avi/CPendingFile.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

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

// Permissions a newly created file would get: 0666 less the umask.
mode_t NewFileMode()
{
    const mode_t nMask = ::umask(0);
    ::umask(nMask);
    return 0666 & ~nMask;
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

    mode_t nMode = NewFileMode();
    struct stat st {};
    if (::stat(strTarget.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        // An existing file the user may not write stays protected.
        if (::access(strTarget.c_str(), W_OK) != 0)
            return EACCES;
        nMode = st.st_mode & 0777;
    }

    std::string strTemplate = FolderOf(strTarget) + "/." + BaseNameOf(strTarget) + ".XXXXXX";
    std::vector<char> name(strTemplate.begin(), strTemplate.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::fchmod(fd, nMode);

    m_fd = fd;
    m_strTarget = strTarget;
    m_strTemp = name.data();
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
