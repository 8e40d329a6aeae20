#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A new file written under a temporary name beside its target (same folder,
// so the final rename is atomic) and moved over the target by Commit. Until
// then the target is untouched; a pending file that is never committed is
// removed when the object goes.
class CPendingFile {
public:
    CPendingFile() = default;
    ~CPendingFile();

    CPendingFile(const CPendingFile&) = delete;
    CPendingFile& operator=(const CPendingFile&) = delete;

    // Creates the temporary file for strTarget. Gives 0 or an errno value:
    // EISDIR when the target is a folder, EINVAL when it is a device or a
    // pipe, EACCES when it is read-only. A target that is a symbolic link is
    // followed: the file it names is the one replaced.
    int Open(const std::string& strTarget);

    // Append at the end, or overwrite at an offset. Give 0 or an errno value.
    int Write(const void* pData, std::size_t nSize);
    int WriteAt(std::int64_t nOffset, const void* pData, std::size_t nSize);

    // Bytes written so far at the end of the file.
    std::int64_t Size() const { return m_nSize; }

    // Flushes the file to disk and renames it over the target. 0 or errno;
    // on failure the temporary file is removed.
    int Commit();

    // Closes and removes the temporary file.
    void Discard();

    const std::string& TempPath() const { return m_strTemp; }

private:
    int m_fd = -1;
    std::string m_strTarget;
    std::string m_strTemp;
    std::int64_t m_nSize = 0;
};
