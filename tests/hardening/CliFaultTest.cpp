// Writes that fail in the batch tool: a missing folder, a folder in the way,
// a file size limit, a full filesystem, a read-only folder and a folder the
// user may not write. Each must end with exit status 1, one line naming the
// file and the reason, no partial or temporary file, and any older file of
// that name untouched. In the sanitizer build the tool is instrumented too,
// so a leak on these paths fails the run through LeakSanitizer's exit status.

#include <ostream>
#include <string>
#include <vector>

#include <sys/stat.h>

// Qt
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

// Google Test
#include <gtest/gtest.h>

// Local
#include "tests/hardening/HardeningSupport.h"

namespace {

const std::string kOld = "an older file of that name";

struct Road {
    const char* m_pszName;
    const char* m_pszCommand;
    const char* m_pszOutput;  // The name given; the tool writes exactly this.
    std::vector<std::string> m_options;
};

void PrintTo(const Road& road, std::ostream* pStream)
{
    *pStream << road.m_pszName;
}

std::string PrintRoad(const testing::TestParamInfo<Road>& info)
{
    return info.param.m_pszName;
}

class CliFaultTest : public testing::TestWithParam<Road> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Readable by everyone, for the run as another user.
        ::chmod(m_dir.path().toUtf8().constData(), 0755);
        m_strFirst = Path("first.bmp");
        m_strSecond = Path("second.jpg");
        ASSERT_TRUE(WriteBytes(m_strFirst, EncodeWithQt(TestPattern(128, 96, 1), "BMP")));
        ASSERT_TRUE(WriteBytes(m_strSecond, EncodeWithQt(TestPattern(136, 100, 2), "JPEG")));
        ::chmod(m_strFirst.c_str(), 0644);
        ::chmod(m_strSecond.c_str(), 0644);
        m_strOut = Path("out");
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_strOut)));
        ::chmod(m_strOut.c_str(), 0755);
        m_strTarget = m_strOut + "/" + GetParam().m_pszOutput;
    }

    std::string Path(const char* pszName) const { return m_dir.filePath(pszName).toStdString(); }

    std::vector<std::string> Args(const std::string& strOutput) const
    {
        std::vector<std::string> args = {PLAVEX_CLI_PATH, GetParam().m_pszCommand, m_strFirst, m_strSecond,
                                         strOutput};
        args.insert(args.end(), GetParam().m_options.begin(), GetParam().m_options.end());
        return args;
    }

    static void ExpectOneLineFailure(const ChildRun& run, const std::string& strNamed)
    {
        EXPECT_EQ(run.m_nSignal, 0) << "the tool was killed by signal " << run.m_nSignal;
        EXPECT_EQ(run.m_nExitCode, 1) << run.m_strErr;
        ASSERT_FALSE(run.m_strErr.empty());
        EXPECT_EQ(run.m_strErr.find('\n'), run.m_strErr.size() - 1) << run.m_strErr;
        EXPECT_NE(run.m_strErr.find(strNamed), std::string::npos) << run.m_strErr;
    }

    QTemporaryDir m_dir;
    std::string m_strFirst;
    std::string m_strSecond;
    std::string m_strOut;
    std::string m_strTarget;
};

TEST_P(CliFaultTest, MissingFolderAndFolderInTheWayFailCleanly)
{
    const std::string strMissing = m_strOut + "/no such folder/" + GetParam().m_pszOutput;
    ExpectOneLineFailure(RunChild({Args(strMissing)}), strMissing);
    EXPECT_TRUE(ListFolder(m_strOut).empty());

    // A folder where the file should go stays a folder, and stays empty.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_strTarget)));
    ExpectOneLineFailure(RunChild({Args(m_strTarget)}), m_strTarget);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(m_strTarget)).isDir());
    EXPECT_TRUE(ListFolder(m_strTarget).empty());
    EXPECT_EQ(ListFolder(m_strOut), std::vector<std::string>{GetParam().m_pszOutput});
}

TEST_P(CliFaultTest, FileSizeLimitFailsTheWriteInsteadOfKillingTheTool)
{
    ASSERT_TRUE(WriteBytes(m_strTarget, {kOld.begin(), kOld.end()}));
    ChildOptions options{Args(m_strTarget)};
    options.m_nFileSizeLimit = 4096;
    ExpectOneLineFailure(RunChild(options), m_strTarget);
    EXPECT_EQ(ListFolder(m_strOut), std::vector<std::string>{GetParam().m_pszOutput});
    const std::vector<unsigned char> kept = ReadBytes(m_strTarget);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), kOld);
}

TEST_P(CliFaultTest, FullFilesystemLeavesTheOlderFileAlone)
{
    if (!MountNamespacesWork())
        GTEST_SKIP() << "this machine allows no private mount namespace with a tmpfs";
    // 32 KiB hold the older file but not the new one.
    const ChildRun run = RunInMountNamespace(
        "mount -t tmpfs -o size=32k tmpfs \"$DIR\" && printf '%s' '" + kOld + "' > \"$KEEP\"", m_strOut,
        Args(m_strTarget), m_strTarget);
    ExpectOneLineFailure(run, m_strTarget);
    EXPECT_EQ(LinesAfter(run.m_strOut, "@@LISTING@@"), std::vector<std::string>{GetParam().m_pszOutput});
    EXPECT_EQ(LinesAfter(run.m_strOut, "@@SUM@@"), std::vector<std::string>{kOld});
}

TEST_P(CliFaultTest, ReadOnlyFolderLeavesTheOlderFileAlone)
{
    if (!MountNamespacesWork())
        GTEST_SKIP() << "this machine allows no private mount namespace for a read-only bind mount";
    // Permission bits do not stop root; a read-only mount does.
    const ChildRun run = RunInMountNamespace("printf '%s' '" + kOld + "' > \"$KEEP\" && mount --bind \"$DIR\" "
                                             "\"$DIR\" && mount -o remount,ro,bind \"$DIR\"",
                                             m_strOut, Args(m_strTarget), m_strTarget);
    ExpectOneLineFailure(run, m_strTarget);
    EXPECT_EQ(LinesAfter(run.m_strOut, "@@LISTING@@"), std::vector<std::string>{GetParam().m_pszOutput});
    EXPECT_EQ(LinesAfter(run.m_strOut, "@@SUM@@"), std::vector<std::string>{kOld});
}

TEST_P(CliFaultTest, FolderTheUserMayNotWriteCreatesNothing)
{
    if (!SetprivWorks())
        GTEST_SKIP() << "setpriv cannot run the tool as another user here";
    std::vector<std::string> args = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    const std::vector<std::string> tool = Args(m_strTarget);
    args.insert(args.end(), tool.begin(), tool.end());
    ExpectOneLineFailure(RunChild({args}), m_strTarget);
    EXPECT_TRUE(ListFolder(m_strOut).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Roads, CliFaultTest,
    testing::Values(Road{"Still", "still", "mix.bmp", {"--ratio", "30"}},
                    Road{"AnimationFullFrames", "anim", "clip.avi", {"--frames", "3", "--codec", "raw"}},
                    Road{"AnimationMotionJpeg", "anim", "clip.avi", {"--frames", "3", "--codec", "mjpeg"}},
                    Road{"AnimationOnThreeWorkers", "anim", "clip.avi", {"--frames", "12", "--threads", "3"}},
                    Road{"Slideshow", "slideshow", "show.avi", {"--hold", "0.04", "--codec", "raw"}}),
    PrintRoad);

}  // namespace
