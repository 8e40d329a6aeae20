#pragma once

// Guards nothing itself: the shared fixture of the suites. Pictures made in
// code, whole files, folder listings, child processes under limits, and an
// in-process file size limit.

#include <csignal>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>

// Qt
#include <QImage>

// A picture whose pixel (x, y) has the colour the function gives.
QImage Picture(int nWidth, int nHeight, const std::function<QRgb(int x, int y)>& colour);
// Saves a picture with gradients and hard edges, different for each seed, in
// the format the extension names, through Qt's writers.
std::string SavePicture(const std::string& strPath, int nWidth, int nHeight, int nSeed);

std::string ReadFile(const std::string& strPath);
bool WriteFile(const std::string& strPath, const std::string& strBytes);
// The names in a folder, sorted, hidden ones included.
std::vector<std::string> ListFolder(const std::string& strFolder);

struct ChildRun {
    int m_nExitCode = -1;  // Set when the child exited.
    int m_nSignal = 0;     // Set when a signal ended it.
    std::string m_strOut;
    std::string m_strErr;
};

// Runs a program (searched on PATH without a slash) with stdin on /dev/null.
// A file size limit (bytes, -1 for none) leaves SIGXFSZ at its default, as a
// shell does; the child is killed after nTimeout seconds so a hang fails.
ChildRun RunChild(const std::vector<std::string>& args, std::int64_t nFileSizeLimit = -1, unsigned nTimeout = 120);

// Lowers this process's file size limit, as a disk that fills up would stop a write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t nBytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_pPrevious)(int) = nullptr;
};
