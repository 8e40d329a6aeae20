// Both roads of the wizard to a written file: a file that differs from the
// batch tool's by one byte, a restart that keeps or drops the wrong values,
// and progress pages that show other numbers than the renders reach.

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Qt
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

// Local
#include "tests/app/WizardHarness.h"
#include "tests/support/TestKit.h"

namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class WizardRoads : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Odd sizes of different shapes: the automatic canvas is 40 × 24.
        m_strFirst = SavePicture(File("first.bmp"), 37, 23, 1);
        m_strSecond = SavePicture(File("second.jpg"), 45, 31, 2);
    }

    // Runs plavex-cli on the two pictures with the output and options given; gives its exit code.
    int Cli(const char* pszCommand, std::vector<std::string> args) const
    {
        args.insert(args.begin(), {PLAVEX_CLI_PATH, pszCommand, m_strFirst, m_strSecond});
        return RunChild(args).m_nExitCode;
    }

    QString Path(const char* pszName) const { return m_dir.filePath(QString::fromUtf8(pszName)); }
    std::string File(const char* pszName) const { return Path(pszName).toStdString(); }

    QTemporaryDir m_dir;
    std::string m_strFirst;
    std::string m_strSecond;
};

TEST_F(WizardRoads, AnimationEqualsTheBatchToolAndRestartResetsItsRoad)
{
    WizardHarness w;
    w.ChooseSources(m_strFirst, m_strSecond, 0);
    ASSERT_EQ(w.m_dlg.m_nPage, 2);
    w.ChooseOutput(File("film"));  // No "avi" in the name: the writer adds ".avi".
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "5");
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FPS, "7");
    w.Next();

    EXPECT_THAT(w.Messages(), IsEmpty());
    EXPECT_EQ(w.m_compression.m_nCalls, 1);
    EXPECT_EQ(w.m_dlg.m_nPage, 3);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageAnimDone));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Dokončit");
    EXPECT_TRUE(w.Enabled(IDC_NEXT) && !w.Enabled(IDC_PREV) && w.Enabled(IDCANCEL));
    const CAnimProgressPage& progress = w.m_dlg.m_pageAnimProgress;
    EXPECT_EQ(WizardHarness::Text(progress, IDC_FRAME_LABEL), "5/5");
    EXPECT_EQ(WizardHarness::Text(progress, IDC_PERCENT_LABEL), "100%");
    ASSERT_EQ(Cli("anim", {File("cli.avi"), "--frames", "5", "--fps", "7", "--codec", "raw"}), 0);
    const std::string strWizard = ReadFile(File("film.avi"));
    EXPECT_GT(strWizard.size(), 5u * 40 * 24 * 3);
    EXPECT_TRUE(strWizard == ReadFile(File("cli.avi"))) << "the wizard's file differs from plavex-cli anim";

    // Both boxes ticked: the file the writer named is opened and the wizard starts over.
    const CAnimDonePage& done = w.m_dlg.m_pageAnimDone;
    WizardHarness::Click(done, IDC_OPEN_RESULT);
    WizardHarness::Click(done, IDC_START_AGAIN);
    w.Next();
    EXPECT_THAT(w.Opened(), ElementsAreArray({File("film.avi")}));
    EXPECT_EQ(w.m_dlg.GetEndResult(), -1);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageWelcome));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Další");
    EXPECT_FALSE(w.Enabled(IDC_PREV));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageSource, IDC_PATH) + WizardHarness::Text(w.m_dlg.m_pageSource, IDC_SECOND_PATH), "");
    const CAnimSettingsPage& settings = w.m_dlg.m_pageAnimSettings;
    EXPECT_EQ(WizardHarness::Text(settings, IDC_PATH), "");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_FRAME_COUNT), "100");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_FPS), "25");
    // The frame label reads "0/0" after a restart, not its first "Snímek 0/0".
    EXPECT_EQ(WizardHarness::Text(progress, IDC_FRAME_LABEL), "0/0");
    EXPECT_EQ(WizardHarness::Text(progress, IDC_PERCENT_LABEL), "0%");
    EXPECT_EQ(qobject_cast<QProgressBar*>(WizardHarness::Control(progress, IDC_PROGRESS))->value(), 0);

    // The next road starts clean: "Dokončit" with both boxes clear ends the
    // wizard at once and opens nothing more.
    w.ChooseSources(m_strSecond, m_strFirst, 0);
    w.ChooseOutput(File("again.avi"));
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "2");
    w.Next();
    ASSERT_EQ(w.m_dlg.m_nPage, 3);
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(WizardHarness::Control(done, IDC_START_AGAIN))->isChecked());
    w.Next();
    EXPECT_EQ(w.m_dlg.GetEndResult(), IDOK);
    EXPECT_EQ(w.m_shell.opened.size(), 1u);
}

TEST_F(WizardRoads, StillEqualsTheBatchToolAndRestartKeepsTheRatio)
{
    WizardHarness w;
    // A value typed on the animation page first must survive the still road.
    w.ChooseSources(m_strFirst, m_strSecond, 0);
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "9");
    w.Prev();
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_RADIO_SECOND);
    w.Next();
    ASSERT_EQ(w.m_dlg.m_nPage, 10);

    CStillSettingsPage& settings = w.m_dlg.m_pageStillSettings;
    ASSERT_TRUE(WriteFile(File("mix.bmp"), "an older file"));
    QFile::setPermissions(Path("mix.bmp"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    w.ChooseOutput(File("mix.bmp"));
    // At 70 the weight p × 0.01 differs from p / 100 in its last bit.
    qobject_cast<QSlider*>(WizardHarness::Control(settings, IDC_RATIO_SLIDER))->setValue(70);
    WizardHarness::Click(settings, IDC_RADIO_SECOND);
    WizardHarness::Type(settings, IDC_WIDTH, "51");
    WizardHarness::Type(settings, IDC_HEIGHT, "30");
    w.Next();

    EXPECT_THAT(w.Messages(), IsEmpty());
    EXPECT_EQ(w.m_dlg.m_nPage, 11);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageStillDone));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Dokončit");
    EXPECT_FALSE(w.Enabled(IDC_PREV));
    EXPECT_TRUE(w.Enabled(IDC_NEXT) && w.Enabled(IDCANCEL));
    // 28 rows: the last value shown is trunc(27 / 28 × 100).
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageStillProgress, IDC_PERCENT_LABEL), "96%");

    ASSERT_EQ(Cli("still", {File("cli.bmp"), "--ratio", "70", "--size", "51x30"}), 0);
    const std::string strWizard = ReadFile(File("mix.bmp"));
    EXPECT_EQ(strWizard.size(), 54u + 48 * 28 * 3);
    EXPECT_TRUE(strWizard == ReadFile(File("cli.bmp"))) << "the wizard's file differs from plavex-cli still";
    // The file it replaced keeps its permissions.
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(File("mix.bmp")).permissions(), perms::owner_read | perms::owner_write | perms::group_read);
    EXPECT_EQ(ListFolder(m_dir.path().toStdString()), (std::vector<std::string>{"cli.bmp", "first.bmp", "mix.bmp", "second.jpg"}));

    WizardHarness::Click(w.m_dlg.m_pageStillDone, IDC_START_AGAIN);
    w.Next();
    EXPECT_THAT(w.Opened(), IsEmpty());
    EXPECT_EQ(w.m_dlg.m_nPage, 0);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageWelcome));
    EXPECT_FALSE(w.Enabled(IDC_PREV));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Další");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_PATH), "");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_WIDTH), "100");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_HEIGHT), "100");
    EXPECT_EQ(settings.m_nSizeMode, 0);
    EXPECT_EQ(settings.m_ctlRatio.GetPos(), 70);
    EXPECT_EQ(WizardHarness::Text(settings, IDC_RATIO_LABEL), "30:70");
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageStillProgress, IDC_PERCENT_LABEL), "0%");
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT), "9");
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageSource, IDC_PATH), "");
    EXPECT_FALSE(
        qobject_cast<QAbstractButton*>(WizardHarness::Control(w.m_dlg.m_pageStillDone, IDC_START_AGAIN))->isChecked());
}

TEST(WizardProgram, IgnoresItsCommandLine)
{
    // Given to Qt, "-platform none" would end the program at once for want
    // of that display. Ignored, the wizard opens on the display the
    // environment names and waits for the user.
    QProcess wizard;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    wizard.setProcessEnvironment(environment);
    wizard.start(QStringLiteral(PLAVEX_WIZARD_PATH), {"-platform", "none", "-reverse"});
    ASSERT_TRUE(wizard.waitForStarted());
    EXPECT_FALSE(wizard.waitForFinished(3000)) << wizard.readAllStandardError().constData();
    wizard.kill();
    wizard.waitForFinished();
}

// The values the progress bar takes during a render.
std::vector<int> BarChanges(QProgressBar* pBar, const std::function<void()>& run)
{
    std::vector<int> changes;
    QObject::connect(pBar, &QProgressBar::valueChanged, pBar, [&](int nValue) { changes.push_back(nValue); });
    run();
    QObject::disconnect(pBar, &QProgressBar::valueChanged, pBar, nullptr);
    return changes;
}

// 1 .. nLast with the values the double arithmetic gives for 100 steps:
// 29 shows 28, 57 shows 56 and 58 shows 57.
std::vector<int> HundredStepChanges(int nLast)
{
    std::vector<int> values;
    for (int n = 1; n <= nLast; ++n)
        if (n != 29 && n != 58)
            values.push_back(n);
    return values;
}

TEST_F(WizardRoads, ProgressPagesShowTheDoubleArithmetic)
{
    WizardHarness w;
    w.ChooseSources(m_strFirst, m_strSecond, 1);
    w.ChooseOutput(File("mix.bmp"));
    WizardHarness::Click(w.m_dlg.m_pageStillSettings, IDC_RADIO_SECOND);
    WizardHarness::Type(w.m_dlg.m_pageStillSettings, IDC_WIDTH, "4");
    WizardHarness::Type(w.m_dlg.m_pageStillSettings, IDC_HEIGHT, "100");
    auto* pStillBar = qobject_cast<QProgressBar*>(WizardHarness::Control(w.m_dlg.m_pageStillProgress, IDC_PROGRESS));
    // 100 rows: the row counted 99 shows 99, so the still never reaches 100.
    EXPECT_EQ(BarChanges(pStillBar, [&] { w.Next(); }), HundredStepChanges(99));
    EXPECT_EQ(w.m_dlg.m_nPage, 11);

    WizardHarness::Click(w.m_dlg.m_pageStillDone, IDC_START_AGAIN);
    w.Next();
    w.ChooseSources(m_strFirst, m_strSecond, 0);
    w.ChooseOutput(File("film.avi"));
    WizardHarness::Click(w.m_dlg.m_pageAnimSettings, IDC_RADIO_SECOND);
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_WIDTH, "4");
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "100");
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_HEIGHT, "4");

    const CAnimProgressPage& progress = w.m_dlg.m_pageAnimProgress;
    auto* pBar = qobject_cast<QProgressBar*>(WizardHarness::Control(progress, IDC_PROGRESS));
    EXPECT_EQ(BarChanges(pBar, [&] { w.Next(); }), HundredStepChanges(100));
    ASSERT_EQ(w.m_dlg.m_nPage, 3);
    EXPECT_EQ(WizardHarness::Text(progress, IDC_FRAME_LABEL), "100/100");
    EXPECT_EQ(WizardHarness::Text(progress, IDC_PERCENT_LABEL), "100%");
}

TEST_F(WizardRoads, PreviewClosesWhenTheRenderStartsOrThePageIsLeft)
{
    WizardHarness w;
    w.ChooseSources(m_strFirst, m_strSecond, 1);
    w.ChooseOutput(File("mix.bmp"));
    const CPreviewWnd& preview = w.m_dlg.m_wndPreview;

    // Back to the source page and forward again: the window went with the page.
    WizardHarness::Click(w.m_dlg.m_pageStillSettings, IDC_PREVIEW);
    EXPECT_TRUE(preview.IsOpen());
    w.Prev();
    EXPECT_FALSE(preview.IsOpen());
    w.Next();

    // Open while the render starts: it is gone before the first row.
    WizardHarness::Click(w.m_dlg.m_pageStillSettings, IDC_PREVIEW);
    bool bOpenDuringRender = true;
    QTimer sampler;
    sampler.setInterval(0);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (w.m_dlg.IsRendering())
            bOpenDuringRender = preview.IsOpen();
    });
    sampler.start();
    w.Next();
    sampler.stop();
    EXPECT_FALSE(bOpenDuringRender);
    EXPECT_FALSE(preview.IsOpen());
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageStillDone));
    EXPECT_THAT(w.Messages(), IsEmpty());
}

} // namespace
