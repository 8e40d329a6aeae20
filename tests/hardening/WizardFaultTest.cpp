// The wizard's two renders against a full disk, a read-only folder and a
// folder where the file should go, and against sources that vanish or claim
// huge sizes. A failed write is told, the
// settings page comes back, the older file stays and nothing partial is left.

#include <cstdlib>
#include <string>
#include <vector>

#include <sys/mount.h>
#include <unistd.h>

// Google Test
#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Qt
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Local
#include "tests/app/WizardHarness.h"
#include "tests/hardening/HardeningSupport.h"

namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::StartsWith;

const std::string kOld = "an older file of that name";
constexpr const char* kPrivateMounts = "PLAVEX_PRIVATE_MOUNTS";

// Runs the current test again in a child process with a private mount
// namespace, where it may mount freely: every mount ends with the child.
// Gives the reason when that cannot be done here.
std::string RerunWithPrivateMounts()
{
    if (!MountNamespacesWork())
        return "this machine allows no private mount namespace";
    char szExe[4096] = {};
    if (::readlink("/proc/self/exe", szExe, sizeof szExe - 1) <= 0)
        return "cannot find this test program";
    const testing::TestInfo* pInfo = testing::UnitTest::GetInstance()->current_test_info();
    const std::string strFilter = std::string("--gtest_filter=") + pInfo->test_suite_name() + "." + pInfo->name();
    const ChildRun run = RunChild(
        {{"env", std::string(kPrivateMounts) + "=1", "unshare", "--mount", "--propagation", "private", szExe, strFilter}});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strOut << run.m_strErr;
    EXPECT_THAT(run.m_strOut, ::testing::HasSubstr("[  PASSED  ] 1 test")) << run.m_strOut;
    return {};
}

class WizardFaultTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sources.isValid());
        ASSERT_TRUE(m_dir.isValid());
        m_strFirst = m_sources.filePath("first.bmp").toStdString();
        m_strSecond = m_sources.filePath("second.bmp").toStdString();
        // A 132 × 96 canvas: 38,070 bytes of BMP, more than the small disk holds.
        ASSERT_TRUE(WriteBytes(m_strFirst, EncodeWithQt(TestPattern(128, 96, 1), "BMP")));
        ASSERT_TRUE(WriteBytes(m_strSecond, EncodeWithQt(TestPattern(136, 100, 2), "BMP")));
        m_strOut = m_dir.filePath("out").toStdString();
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_strOut)));
    }

    void TearDown() override
    {
        if (m_bMounted)
            ::umount2(m_strOut.c_str(), MNT_DETACH);
    }

    // True in the child that RerunWithPrivateMounts starts.
    static bool HasPrivateMounts() { return std::getenv(kPrivateMounts) != nullptr; }

    void MountFullDisk()
    {
        ASSERT_EQ(::mount("tmpfs", m_strOut.c_str(), "tmpfs", 0, "size=32k"), 0);
        m_bMounted = true;
    }

    void MountReadOnly()
    {
        ASSERT_EQ(::mount(m_strOut.c_str(), m_strOut.c_str(), nullptr, MS_BIND, nullptr), 0);
        m_bMounted = true;
        ASSERT_EQ(::mount(nullptr, m_strOut.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    }

    // Runs the road to the given output; an older file of that name exists.
    void RenderOver(WizardHarness& w, bool bAnimation, const std::string& strTarget)
    {
        w.ChooseSources(m_strFirst, m_strSecond, bAnimation ? 0 : 1);
        w.ChooseOutput(strTarget);
        if (bAnimation)
            WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "4");
        w.Next();
    }

    // The failure was told, the settings page is back and the folder is as it was.
    void ExpectNotSaved(const WizardHarness& w, bool bAnimation, const std::vector<std::string>& expectedNames)
    {
        ASSERT_EQ(w.m_boxes.m_shown.size(), 1u);
        if (bAnimation)
            EXPECT_THAT(w.m_boxes.m_shown[0].strText, StartsWith("Animaci se nepodařilo uložit!\n"));
        else
            EXPECT_EQ(w.m_boxes.m_shown[0].strText, "Soubor se nepodařilo uložit!");
        EXPECT_EQ(w.m_boxes.m_shown[0].strCaption, "Chyba");
        EXPECT_EQ(w.m_dlg.m_nPage, bAnimation ? 2 : 10);
        EXPECT_TRUE(w.OnlyShown(bAnimation ? static_cast<const CDialog&>(w.m_dlg.m_pageAnimSettings)
                                           : static_cast<const CDialog&>(w.m_dlg.m_pageStillSettings)));
        EXPECT_TRUE(w.Enabled(IDC_NEXT) && w.Enabled(IDC_PREV) && w.Enabled(IDCANCEL));
        EXPECT_EQ(ListFolder(m_strOut), expectedNames);
    }

    void ExpectOldFile(const std::string& strPath)
    {
        const std::vector<unsigned char> kept = ReadBytes(strPath);
        EXPECT_EQ(std::string(kept.begin(), kept.end()), kOld);
    }

    QTemporaryDir m_sources;
    QTemporaryDir m_dir;
    std::string m_strFirst;
    std::string m_strSecond;
    std::string m_strOut;
    bool m_bMounted = false;
};

TEST_F(WizardFaultTest, FullDiskKeepsTheOlderFileOnBothRoads)
{
    if (!HasPrivateMounts()) {
        if (const std::string strWhy = RerunWithPrivateMounts(); !strWhy.empty())
            GTEST_SKIP() << strWhy;
        return;
    }
    MountFullDisk();
    for (const bool bAnimation : {false, true}) {
        SCOPED_TRACE(bAnimation ? "animation" : "still");
        const std::string strName = bAnimation ? "film.avi" : "mix.bmp";
        const std::string strTarget = m_strOut + "/" + strName;
        ASSERT_TRUE(WriteBytes(strTarget, {kOld.begin(), kOld.end()}));
        WizardHarness w;
        RenderOver(w, bAnimation, strTarget);
        ExpectNotSaved(w, bAnimation, {strName});
        ExpectOldFile(strTarget);
        QFile::remove(QString::fromStdString(strTarget));
    }
}

TEST_F(WizardFaultTest, ReadOnlyFolderKeepsTheOlderFileOnBothRoads)
{
    if (!HasPrivateMounts()) {
        if (const std::string strWhy = RerunWithPrivateMounts(); !strWhy.empty())
            GTEST_SKIP() << strWhy;
        return;
    }
    ASSERT_TRUE(WriteBytes(m_strOut + "/mix.bmp", {kOld.begin(), kOld.end()}));
    ASSERT_TRUE(WriteBytes(m_strOut + "/film.avi", {kOld.begin(), kOld.end()}));
    MountReadOnly();
    for (const bool bAnimation : {false, true}) {
        SCOPED_TRACE(bAnimation ? "animation" : "still");
        WizardHarness w;
        RenderOver(w, bAnimation, m_strOut + (bAnimation ? "/film.avi" : "/mix.bmp"));
        ExpectNotSaved(w, bAnimation, {"film.avi", "mix.bmp"});
    }
    ExpectOldFile(m_strOut + "/mix.bmp");
    ExpectOldFile(m_strOut + "/film.avi");
}

TEST_F(WizardFaultTest, FolderWhereTheFileShouldGoStaysAFolder)
{
    for (const bool bAnimation : {false, true}) {
        SCOPED_TRACE(bAnimation ? "animation" : "still");
        const std::string strName = bAnimation ? "film.avi" : "mix.bmp";
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_strOut + "/" + strName)));
        WizardHarness w;
        RenderOver(w, bAnimation, m_strOut + "/" + strName);
        ExpectNotSaved(w, bAnimation, {strName});
        EXPECT_TRUE(ListFolder(m_strOut + "/" + strName).empty());
        QDir().rmdir(QString::fromStdString(m_strOut + "/" + strName));
    }
}

TEST_F(WizardFaultTest, SourceThatVanishesOrClaimsAHugeSizeIsNotLoaded)
{
    for (const bool bAnimation : {false, true}) {
        SCOPED_TRACE(bAnimation ? "animation" : "still");
        WizardHarness w;
        w.ChooseSources(m_strFirst, m_strSecond, bAnimation ? 0 : 1);
        w.ChooseOutput(m_strOut + (bAnimation ? "/film.avi" : "/mix.bmp"));
        // The second picture goes away after it was chosen.
        const std::vector<unsigned char> second = ReadBytes(m_strSecond);
        ASSERT_TRUE(QFile::remove(QString::fromStdString(m_strSecond)));
        w.Next();
        // Then it comes back claiming 65535 × 65535 pixels in 800 bytes.
        std::vector<unsigned char> huge = EncodeGif(TestPattern(9, 7, 3));
        for (const std::size_t nPos : {std::size_t{6}, std::size_t{8}, std::size_t{13 + 768 + 5}, std::size_t{13 + 768 + 7}})
            huge[nPos] = huge[nPos + 1] = 0xFF;
        ASSERT_TRUE(WriteBytes(m_strSecond, huge));
        w.Next();
        EXPECT_THAT(w.Messages(), ElementsAre(EndsWith(": Soubor nelze otevřít."), EndsWith(": Obrázek je příliš velký.")));
        EXPECT_TRUE(ListFolder(m_strOut).empty());
        ASSERT_TRUE(WriteBytes(m_strSecond, second));
    }
}

}  // namespace
