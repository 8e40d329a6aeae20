#pragma once

// Helpers of the hardening suites: child processes run under limits, other
// users or a private mount namespace; pictures made in code; file and folder
// snapshots that show what a failed run left behind.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Qt
#include <QImage>

struct ChildRun {
    int m_nExitCode = -1;  // Set when the child exited.
    int m_nSignal = 0;     // Set when a signal ended it.
    std::string m_strOut;
    std::string m_strErr;
};

struct ChildOptions {
    // The program (searched on PATH when it has no slash) and its arguments.
    std::vector<std::string> m_args;
    // RLIMIT_FSIZE in bytes for the child, or -1 for none. SIGXFSZ keeps its
    // default action in the child, as under a shell, so the program itself
    // must ignore it for writes past the limit to fail instead of killing it.
    std::int64_t m_nFileSizeLimit = -1;
    // The child is killed with SIGALRM after this long, so a hang fails the
    // test instead of stalling the suite.
    unsigned m_nTimeoutSeconds = 120;
};

ChildRun RunChild(const ChildOptions& options);

// The same child inside a private mount namespace: strSetup runs first in
// sh (it may mount, with "$DIR" set to strFolder), then the program; after
// it, "@@LISTING@@" and the names in strFolder (one a line, hidden ones
// too) and "@@SUM@@" and the contents of strKeep, when given, are
// printed on stdout. The namespace, and every mount in it, ends with the child.
ChildRun RunInMountNamespace(const std::string& strSetup, const std::string& strFolder,
                             const std::vector<std::string>& args, const std::string& strKeep = {});

struct ForkOptions {
    std::int64_t m_nFileSizeLimit = -1;  // RLIMIT_FSIZE in bytes, or -1.
    // When set, a tmpfs of m_strTmpfsSize is mounted on this folder in a
    // private mount namespace of the child, so it vanishes with the child.
    std::string m_strTmpfsFolder;
    std::string m_strTmpfsSize = "32k";
    unsigned m_nTimeoutSeconds = 60;
};

// Runs fn in a forked child with SIGXFSZ ignored, as the programs' entry
// points do, so writes past a limit fail with EFBIG. Gives fn's text (empty
// when all was well), a line saying how the child ended when it did not
// return, or a text starting with "SKIP:" when the machine cannot set up
// what was asked. In the sanitizer build a leak left by fn fails the run too.
std::string RunForked(const std::function<std::string()>& fn, const ForkOptions& options);

// Whether this machine lets a root test make a private mount namespace with
// a tmpfs and a read-only bind mount in it (containers often forbid it), and
// whether setpriv can drop to another user. Probed once.
bool MountNamespacesWork();
bool SetprivWorks();

// A picture with gradients and hard edges, different for each seed.
QImage TestPattern(int nWidth, int nHeight, int nSeed);

// A GIF of the picture, quantized to a 6×6×6 colour cube.
std::vector<unsigned char> EncodeGif(const QImage& image);
// A BMP (24-bit) or JPEG of the picture, as Qt's writers make them.
std::vector<unsigned char> EncodeWithQt(const QImage& image, const char* pszFormat);
// The picture encoded by a command line tool: strCommand is run with the
// output name and a PNG of the picture appended. Empty when that fails.
std::vector<unsigned char> EncodeWithTool(const QImage& image, const std::string& strCommand,
                                          const std::string& strExtension);

bool WriteBytes(const std::string& strPath, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadBytes(const std::string& strPath);

// The names in a folder, sorted, hidden ones included.
std::vector<std::string> ListFolder(const std::string& strFolder);

// Text after a marker line of a RunInMountNamespace output, one entry a line.
std::vector<std::string> LinesAfter(const std::string& strText, const std::string& strMarker);
