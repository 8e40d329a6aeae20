#pragma once

// Files for the end-to-end tests: generated source pictures, whole files read
// back, folder listings and runs of the batch tool.

#include <string>
#include <vector>

// Qt
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringList>

namespace E2e {

// A picture with a pattern that differs per seed, saved in the format the
// name's extension gives (BMP or JPEG).
inline std::string MakePicture(const QString& strPath, int nWidth, int nHeight, int nSeed)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 11 + nSeed * 50) % 256, (x * 5 + y * 71 + nSeed) % 256,
                                      (x * 23 + y * 13 + nSeed * 7) % 256));
    image.save(strPath);
    return strPath.toStdString();
}

inline std::string MakeFile(const QString& strPath, const QByteArray& bytes)
{
    QFile file(strPath);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return strPath.toStdString();
}

inline QByteArray ReadAll(const std::string& strPath)
{
    QFile file(QString::fromStdString(strPath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool Exists(const std::string& strPath) { return QFile::exists(QString::fromStdString(strPath)); }

inline QStringList Names(const QString& strDir)
{
    return QDir(strDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

#ifdef PLAVEX_CLI_PATH
// Runs plavex-cli with the arguments; gives its exit code, or -1 when it did
// not run, and what it wrote to stderr in pErr when asked.
inline int RunCli(const QStringList& args, QByteArray* pErr = nullptr)
{
    QProcess process;
    process.start(QStringLiteral(PLAVEX_CLI_PATH), args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (pErr)
        *pErr = process.readAllStandardError();
    return process.exitCode();
}
#endif

} // namespace E2e
