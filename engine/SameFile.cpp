#include "engine/SameFile.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace {

// The path with every link, "." and ".." resolved as far as it exists; the
// name itself when even that fails.
std::filesystem::path Resolved(const std::string& strPath)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(strPath, error);
    if (error)
        return std::filesystem::path(strPath).lexically_normal();
    std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : resolved;
}

} // namespace

bool IsSameFile(const std::string& strFirst, const std::string& strSecond)
{
    struct stat first {};
    struct stat second {};
    if (::stat(strFirst.c_str(), &first) == 0 && ::stat(strSecond.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return Resolved(strFirst) == Resolved(strSecond);
}

EngineResult<void> CheckOutputIsNotASource(const std::string& strOutput, std::span<const std::string> sources)
{
    for (const std::string& strSource : sources)
        if (IsSameFile(strOutput, strSource))
            return EngineError{EngineErrorCode::OutputIsSource,
                               "'" + strOutput + "' is one of the source pictures; choose another output file"};
    return {};
}

EngineResult<void> CheckOutputIsNotASource(const std::string& strOutput, const std::string& strFirst,
                                           const std::string& strSecond)
{
    const std::string sources[] = {strFirst, strSecond};
    return CheckOutputIsNotASource(strOutput, sources);
}
