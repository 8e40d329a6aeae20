#include "tests/hardening/HardeningSupport.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Qt
#include <QBuffer>
#include <QByteArray>
#include <QTemporaryDir>
#include <QColor>

// LeakSanitizer's check on demand, present only in the sanitizer build.
extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));

namespace {

// Reads both pipes until the child closes them, so neither can fill and block it.
void Drain(int nOut, int nErr, std::string& strOut, std::string& strErr)
{
    pollfd fds[2] = {{nOut, POLLIN, 0}, {nErr, POLLIN, 0}};
    int nOpen = 2;
    char buffer[4096];
    while (nOpen > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
                continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? strOut : strErr).append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --nOpen;
            }
        }
    }
}

}  // namespace

ChildRun RunChild(const ChildOptions& options)
{
    ChildRun run;
    int outPipe[2];
    int errPipe[2];
    if (options.m_args.empty() || ::pipe2(outPipe, O_CLOEXEC) != 0)
        return run;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return run;
    }
    std::vector<char*> argv;
    for (const std::string& strArg : options.m_args)
        argv.push_back(const_cast<char*>(strArg.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        const int nNull = ::open("/dev/null", O_RDONLY);
        if (nNull >= 0)
            ::dup2(nNull, STDIN_FILENO);
        std::signal(SIGXFSZ, SIG_DFL);
        if (options.m_nFileSizeLimit >= 0) {
            const rlimit limit{static_cast<rlim_t>(options.m_nFileSizeLimit),
                               static_cast<rlim_t>(options.m_nFileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::signal(SIGALRM, SIG_DFL);
        ::alarm(options.m_nTimeoutSeconds);
        ::execvp(argv[0], argv.data());
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return run;
    }
    Drain(outPipe[0], errPipe[0], run.m_strOut, run.m_strErr);
    int nStatus = 0;
    while (::waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(nStatus))
        run.m_nExitCode = WEXITSTATUS(nStatus);
    else if (WIFSIGNALED(nStatus))
        run.m_nSignal = WTERMSIG(nStatus);
    return run;
}

ChildRun RunInMountNamespace(const std::string& strSetup, const std::string& strFolder,
                             const std::vector<std::string>& args, const std::string& strKeep)
{
    // The program's exit status is passed on; the listing follows its output.
    const std::string strScript = "DIR=\"$1\"; KEEP=\"$2\"; shift 2; " + strSetup +
                                  " || exit 90; \"$@\"; status=$?; echo @@LISTING@@; ls -A \"$DIR\"; "
                                  "if [ -n \"$KEEP\" ]; then echo @@SUM@@; cat \"$KEEP\"; echo; fi; exit $status";
    ChildOptions options;
    options.m_args = {"unshare", "--mount", "--propagation", "private", "sh", "-c", strScript, "sh", strFolder,
                      strKeep};
    options.m_args.insert(options.m_args.end(), args.begin(), args.end());
    return RunChild(options);
}

std::string RunForked(const std::function<std::string()>& fn, const ForkOptions& options)
{
    int resultPipe[2];
    if (::pipe2(resultPipe, O_CLOEXEC) != 0)
        return "cannot make a pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(resultPipe[0]);
        std::string strResult;
        if (!options.m_strTmpfsFolder.empty()) {
            const std::string strSize = "size=" + options.m_strTmpfsSize;
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", options.m_strTmpfsFolder.c_str(), "tmpfs", 0, strSize.c_str()) != 0)
                strResult = "SKIP: this machine allows no private mount namespace with a tmpfs";
        }
        if (strResult.empty()) {
            std::signal(SIGXFSZ, SIG_IGN);
            if (options.m_nFileSizeLimit >= 0) {
                const rlimit limit{static_cast<rlim_t>(options.m_nFileSizeLimit),
                                   static_cast<rlim_t>(options.m_nFileSizeLimit)};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            ::alarm(options.m_nTimeoutSeconds);
            strResult = fn();
            // Whatever fn made is gone now, so anything still allocated and
            // unreachable is a leak on the path under test.
            if (__lsan_do_recoverable_leak_check != nullptr && __lsan_do_recoverable_leak_check() != 0)
                strResult += "LeakSanitizer found a leak";
        }
        const char* p = strResult.data();
        std::size_t nLeft = strResult.size();
        while (nLeft > 0) {
            const ssize_t n = ::write(resultPipe[1], p, nLeft);
            if (n <= 0)
                break;
            p += n;
            nLeft -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(resultPipe[1]);
    if (pid < 0) {
        ::close(resultPipe[0]);
        return "cannot fork";
    }
    std::string strResult;
    std::string strIgnored;
    const int nNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    Drain(resultPipe[0], nNull, strResult, strIgnored);
    int nStatus = 0;
    while (::waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(nStatus))
        return "the child was ended by signal " + std::to_string(WTERMSIG(nStatus));
    return strResult;
}

bool MountNamespacesWork()
{
    static const bool bWorks = [] {
        char szTemplate[] = "/tmp/plavex-probe-XXXXXX";
        if (::mkdtemp(szTemplate) == nullptr)
            return false;
        const std::string strFolder = szTemplate;
        const ChildRun run = RunInMountNamespace(
            "mount -t tmpfs -o size=64k tmpfs \"$DIR\" && mount --bind \"$DIR\" \"$DIR\" && "
            "mount -o remount,ro,bind \"$DIR\"",
            strFolder, {"true"});
        ::rmdir(szTemplate);
        return run.m_nExitCode == 0;
    }();
    return bWorks;
}

bool SetprivWorks()
{
    static const bool bWorks = [] {
        ChildOptions options;
        options.m_args = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "true"};
        return ::geteuid() == 0 && RunChild(options).m_nExitCode == 0;
    }();
    return bWorks;
}

QImage TestPattern(int nWidth, int nHeight, int nSeed)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y) {
        for (int x = 0; x < nWidth; ++x) {
            const int r = (x * 255 / std::max(nWidth - 1, 1)) ^ (nSeed * 37 & 0xFF);
            const int g = y * 255 / std::max(nHeight - 1, 1);
            const int b = ((x / 3 + y / 3) % 2) ? 255 : (nSeed * 91) & 0xFF;
            image.setPixel(x, y, qRgb(r & 0xFF, g, b));
        }
    }
    return image;
}

std::vector<unsigned char> EncodeGif(const QImage& image)
{
    std::vector<unsigned char> out = {'G', 'I', 'F', '8', '9', 'a'};
    auto put16 = [&out](int n) {
        out.push_back(static_cast<unsigned char>(n & 0xFF));
        out.push_back(static_cast<unsigned char>(n >> 8));
    };
    put16(image.width());
    put16(image.height());
    out.insert(out.end(), {0xF7, 0, 0});  // A global table of 256 entries.
    for (int i = 0; i < 256; ++i) {
        const int n = std::min(i, 215);
        out.insert(out.end(), {static_cast<unsigned char>(n / 36 * 51), static_cast<unsigned char>(n / 6 % 6 * 51),
                               static_cast<unsigned char>(n % 6 * 51)});
    }
    out.push_back(0x2C);
    put16(0);
    put16(0);
    put16(image.width());
    put16(image.height());
    out.push_back(0);
    out.push_back(8);

    // Nine-bit codes with a clear code often enough that the table never
    // grows to ten bits: plain, and exactly what every decoder reads.
    std::vector<unsigned char> data;
    std::uint32_t nAcc = 0;
    int nBits = 0;
    auto putCode = [&](int nCode) {
        nAcc |= static_cast<std::uint32_t>(nCode) << nBits;
        nBits += 9;
        while (nBits >= 8) {
            data.push_back(static_cast<unsigned char>(nAcc & 0xFF));
            nAcc >>= 8;
            nBits -= 8;
        }
    };
    int nSinceClear = 254;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (nSinceClear == 254) {
                putCode(256);
                nSinceClear = 0;
            }
            const QRgb pixel = image.pixel(x, y);
            putCode((qRed(pixel) + 25) / 51 * 36 + (qGreen(pixel) + 25) / 51 * 6 + (qBlue(pixel) + 25) / 51);
            ++nSinceClear;
        }
    }
    putCode(257);
    if (nBits > 0)
        data.push_back(static_cast<unsigned char>(nAcc & 0xFF));
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out.push_back(static_cast<unsigned char>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                   data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

std::vector<unsigned char> EncodeWithQt(const QImage& image, const char* pszFormat)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, pszFormat, 90);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

std::vector<unsigned char> EncodeWithTool(const QImage& image, const std::string& strCommand,
                                          const std::string& strExtension)
{
    QTemporaryDir dir;
    const std::string strIn = dir.filePath("in.png").toStdString();
    const std::string strOut = dir.filePath("out.").toStdString() + strExtension;
    if (!dir.isValid() || !image.save(QString::fromStdString(strIn), "PNG"))
        return {};
    const std::string strRun = strCommand + " '" + strOut + "' '" + strIn + "' >/dev/null 2>&1";
    if (std::system(strRun.c_str()) != 0)
        return {};
    return ReadBytes(strOut);
}

bool WriteBytes(const std::string& strPath, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<unsigned char> ReadBytes(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListFolder(const std::string& strFolder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(strFolder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> LinesAfter(const std::string& strText, const std::string& strMarker)
{
    std::vector<std::string> lines;
    std::istringstream stream(strText);
    std::string strLine;
    bool bAfter = false;
    while (std::getline(stream, strLine)) {
        if (strLine.rfind("@@", 0) == 0) {
            bAfter = strLine == strMarker;
            continue;
        }
        if (bAfter)
            lines.push_back(strLine);
    }
    return lines;
}
