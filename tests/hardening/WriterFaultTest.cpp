// The BMP writer and the AVI writer when the disk refuses part way: a file
// size limit, a full filesystem, and a target that is not a regular file.
// Both must report the failure, keep an older file of the name as it was and
// leave no temporary file; neither may replace a device or a pipe.

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>

// Qt
#include <QDir>
#include <QTemporaryDir>

// Google Test
#include <gtest/gtest.h>

// Local
#include "engine/BmpWriter.h"
#include "engine/Canvas.h"
#include "engine/PixelBuffer.h"
#include "platform/avi/AviTypes.h"
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "tests/hardening/HardeningSupport.h"
#include "video/CAviWriter.h"

namespace {

const std::string kOld = "an older file of that name";

struct Picture {
    Canvas m_canvas;
    PixelBuffer m_buffer;
};

// 132 × 96 pixels: 38,070 bytes as a BMP, more than each limit below.
Picture MakePicture()
{
    Picture picture;
    picture.m_canvas = ComputeCanvas(kSizeModeCustom, 132, 96, 0, 0, 0, 0).Value();
    picture.m_buffer = std::move(PixelBuffer::Allocate(picture.m_canvas).Value());
    for (std::size_t i = 0; i < picture.m_buffer.Size(); ++i)
        picture.m_buffer.Data()[i] = static_cast<BYTE>(i * 7 + i / 396);
    return picture;
}

std::string FileName(const std::string& strPath)
{
    return strPath.substr(strPath.find_last_of('/') + 1);
}

// The folder holds the target only, with its old contents.
std::string CheckNothingChanged(const std::string& strFolder, const std::string& strTarget)
{
    const std::vector<std::string> names = ListFolder(strFolder);
    if (names != std::vector<std::string>{FileName(strTarget)}) {
        std::string strNames;
        for (const std::string& strName : names)
            strNames += " '" + strName + "'";
        return "the folder holds" + strNames;
    }
    const std::vector<unsigned char> kept = ReadBytes(strTarget);
    if (std::string(kept.begin(), kept.end()) != kOld)
        return "the older file was changed to " + std::to_string(kept.size()) + " bytes";
    return {};
}

std::string SaveStill(const std::string& strFolder, const std::string& strTarget)
{
    if (!WriteBytes(strTarget, {kOld.begin(), kOld.end()}))
        return "cannot write the older file";
    const Picture picture = MakePicture();
    const EngineResult<void> saved = SaveBitmapFile(strTarget, picture.m_buffer, picture.m_canvas);
    if (saved)
        return "SaveBitmapFile reported success";
    if (saved.Error().m_nCode != EngineErrorCode::WriteFailed)
        return "SaveBitmapFile gave another error than WriteFailed";
    if (saved.Error().m_strMessage.find(strTarget) == std::string::npos)
        return "the message does not name the file: " + saved.Error().m_strMessage;
    return CheckNothingChanged(strFolder, strTarget);
}

std::string WriteAnimation(const std::string& strFolder, const std::string& strTarget, FOURCC fccCodec)
{
    if (!WriteBytes(strTarget, {kOld.begin(), kOld.end()}))
        return "cannot write the older file";
    const Picture picture = MakePicture();
    CFixedCompressionChooser::Options choice;
    choice.fccHandler = fccCodec;
    CFixedCompressionChooser chooser(choice);
    CCompressionChooserGuard guard(&chooser);
    {
        CAviWriter writer;
        writer.SetBitmapHeader(picture.m_canvas.Header());
        writer.m_strFileName = strTarget;
        writer.EnsureAviExtension();
        writer.m_nRate = 25;
        const HRESULT hr = writer.InitEngine(nullptr);
        for (int k = 0; hr == 0 && k < 5; ++k)
            writer.AddFrame(picture.m_buffer.Data());
        writer.ReleaseEngine();
        if (writer.IsCommitted())
            return "the writer completed a file it could not have written";
        if (hr == 0 && !writer.HasWriteFailed() && !writer.HasCommitFailed())
            return "no failure was reported";
    }
    return CheckNothingChanged(strFolder, strTarget);
}

class WriterFaultTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_strFolder = m_dir.filePath("out").toStdString();
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_strFolder)));
    }

    static void Expect(const std::string& strResult)
    {
        if (strResult.rfind("SKIP:", 0) == 0)
            GTEST_SKIP() << strResult;
        EXPECT_EQ(strResult, "");
    }

    QTemporaryDir m_dir;
    std::string m_strFolder;
};

TEST_F(WriterFaultTest, FileSizeLimitIsReportedAndKeepsTheOlderFile)
{
    ForkOptions options;
    options.m_nFileSizeLimit = 16 * 1024;
    const std::string strStill = m_strFolder + "/mix.bmp";
    const std::string strClip = m_strFolder + "/clip.avi";
    Expect(RunForked([&] { return SaveStill(m_strFolder, strStill); }, options));
    QFile::remove(QString::fromStdString(strStill));
    Expect(RunForked([&] { return WriteAnimation(m_strFolder, strClip, comptypeDIB); }, options));
    Expect(RunForked([&] { return WriteAnimation(m_strFolder, strClip, comptypeMJPG); }, options));
}

TEST_F(WriterFaultTest, FullFilesystemIsReportedAndKeepsTheOlderFile)
{
    ForkOptions options;
    options.m_strTmpfsFolder = m_strFolder;
    const std::string strStill = m_strFolder + "/mix.bmp";
    const std::string strClip = m_strFolder + "/clip.avi";
    Expect(RunForked([&] { return SaveStill(m_strFolder, strStill); }, options));
    Expect(RunForked([&] { return WriteAnimation(m_strFolder, strClip, comptypeDIB); }, options));
    Expect(RunForked([&] { return WriteAnimation(m_strFolder, strClip, comptypeMJPG); }, options));
}

TEST_F(WriterFaultTest, DevicesAndPipesAreNeverReplaced)
{
    // A pipe, and where this machine allows it a copy of /dev/null: renaming
    // a finished file over either would destroy it.
    std::vector<std::string> targets = {m_strFolder + "/pipe.bmp", m_strFolder + "/pipe.avi"};
    ASSERT_EQ(::mkfifo(targets[0].c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(targets[1].c_str(), 0644), 0);
    const std::string strDevice = m_strFolder + "/null.bmp";
    const std::string strDeviceClip = m_strFolder + "/null.avi";
    if (::mknod(strDevice.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
        ::mknod(strDeviceClip.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        targets.push_back(strDevice);
        targets.push_back(strDeviceClip);
    }

    const Picture picture = MakePicture();
    CFixedCompressionChooser chooser;
    CCompressionChooserGuard guard(&chooser);
    for (const std::string& strTarget : targets) {
        SCOPED_TRACE(strTarget);
        struct stat before {};
        ASSERT_EQ(::stat(strTarget.c_str(), &before), 0);
        const std::string strResult = RunForked(
            [&]() -> std::string {
                if (strTarget.ends_with(".bmp")) {
                    const EngineResult<void> saved = SaveBitmapFile(strTarget, picture.m_buffer, picture.m_canvas);
                    return saved ? "SaveBitmapFile reported success" : "";
                }
                CAviWriter writer;
                writer.SetBitmapHeader(picture.m_canvas.Header());
                writer.m_strFileName = strTarget;
                const HRESULT hr = writer.InitEngine(nullptr);
                if (hr == 0)
                    writer.AddFrame(picture.m_buffer.Data());
                writer.ReleaseEngine();
                return hr == 0 || writer.IsCommitted() ? "the writer accepted the target" : "";
            },
            ForkOptions{});
        EXPECT_EQ(strResult, "");
        struct stat after {};
        ASSERT_EQ(::stat(strTarget.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        EXPECT_EQ(after.st_rdev, before.st_rdev);
    }
    EXPECT_EQ(ListFolder(m_strFolder).size(), targets.size());
}

}  // namespace
