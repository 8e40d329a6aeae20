// Guards nothing itself: the shared fixture of the suites.

#include "tests/support/TestKit.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Reads a pipe until the child closes it.
std::string ReadPipe(int nFd)
{
    std::string strText;
    char buffer[4096];
    for (ssize_t n; (n = ::read(nFd, buffer, sizeof buffer)) != 0;)
        if (n > 0)
            strText.append(buffer, static_cast<std::size_t>(n));
        else if (errno != EINTR)
            break;
    ::close(nFd);
    return strText;
}

} // namespace

QImage Picture(int nWidth, int nHeight, const std::function<QRgb(int x, int y)>& colour)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.setPixel(x, y, colour(x, y));
    return image;
}

std::string SavePicture(const std::string& strPath, int nWidth, int nHeight, int nSeed)
{
    Picture(nWidth, nHeight, [&](int x, int y) {
        return qRgb((x * 255 / std::max(nWidth - 1, 1)) ^ (nSeed * 37 & 0xFF), y * 255 / std::max(nHeight - 1, 1),
                    ((x / 3 + y / 3) % 2) ? 255 : (nSeed * 91) & 0xFF);
    }).save(QString::fromStdString(strPath), nullptr, 90);
    return strPath;
}

std::string ReadFile(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool WriteFile(const std::string& strPath, const std::string& strBytes)
{
    return static_cast<bool>(std::ofstream(strPath, std::ios::binary | std::ios::trunc) << strBytes);
}

std::vector<std::string> ListFolder(const std::string& strFolder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(strFolder, error))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

ChildRun RunChild(const std::vector<std::string>& args, std::int64_t nFileSizeLimit, unsigned nTimeout)
{
    ChildRun run;
    int outPipe[2], errPipe[2];
    if (args.empty() || ::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
        return run;
    std::vector<char*> argv;
    for (const std::string& strArg : args)
        argv.push_back(const_cast<char*>(strArg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
        std::signal(SIGXFSZ, SIG_DFL);
        if (nFileSizeLimit >= 0) {
            // In a coverage build the limit would cut the shared coverage data short.
            ::setenv("GCOV_PREFIX", "/tmp/plavex-gcov-limited", 1);
            const rlimit limit{static_cast<rlim_t>(nFileSizeLimit), static_cast<rlim_t>(nFileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::signal(SIGALRM, SIG_DFL);
        ::alarm(nTimeout);
        ::execvp(argv[0], argv.data());
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    // Both pipes are read at once, so neither can fill and block the child.
    auto err = std::async(std::launch::async, ReadPipe, errPipe[0]);
    run.m_strOut = ReadPipe(outPipe[0]);
    run.m_strErr = err.get();
    int nStatus = 0;
    while (pid > 0 && ::waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(nStatus))
        run.m_nExitCode = WEXITSTATUS(nStatus);
    else if (WIFSIGNALED(nStatus))
        run.m_nSignal = WTERMSIG(nStatus);
    return run;
}

FileSizeLimit::FileSizeLimit(rlim_t nBytes) : m_pPrevious(std::signal(SIGXFSZ, SIG_IGN))
{
    ::getrlimit(RLIMIT_FSIZE, &m_saved);
    rlimit limit = m_saved;
    limit.rlim_cur = nBytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_pPrevious);
}
