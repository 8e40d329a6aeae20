// Both roads of the wizard to a written file: a file that differs from the
// batch tool's by one byte, a restart that keeps or drops the wrong values,
// progress pages that show other numbers than the renders reach, a preview
// left open during a render, and a program that obeys its command line.

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Qt
#include <QProcess>
#include <QProgressBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

// Local
#include "tests/app/WizardHarness.h"
#include "tests/support/TestKit.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The values a progress bar takes while the render runs.
std::vector<int> BarChanges(const CWnd& progress, const std::function<void()>& run)
{
    auto* pBar = qobject_cast<QProgressBar*>(WizardHarness::Control(progress, IDC_PROGRESS));
    std::vector<int> changes;
    QObject::connect(pBar, &QProgressBar::valueChanged, pBar, [&](int nValue) { changes.push_back(nValue); });
    run();
    QObject::disconnect(pBar, &QProgressBar::valueChanged, pBar, nullptr);
    return changes;
}

// What the bar shows after steps 1 .. nLast of nSteps, nSteps dividing 100:
// the percent, except where the double share times 100 falls just below it
// (29 shows 28, 57 shows 56 and 58 shows 57), each change once.
std::vector<int> Shown(int nSteps, int nLast)
{
    std::vector<int> values;
    for (int n = 1; n <= nLast; ++n) {
        const int k = n * 100 / nSteps, nShown = k - (k == 29 || k == 57 || k == 58);
        if (values.empty() || values.back() != nShown)
            values.push_back(nShown);
    }
    return values;
}

class WizardRoads : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Odd sizes of different shapes: the automatic canvas is 40 × 24.
        SavePicture(m_strFirst, 37, 23, 1);
        SavePicture(m_strSecond, 45, 31, 2);
    }

    // Runs plavex-cli on the two pictures with the output and options given; gives its exit code.
    int Cli(const char* pszCommand, std::vector<std::string> args) const
    {
        args.insert(args.begin(), {PLAVEX_CLI_PATH, pszCommand, m_strFirst, m_strSecond});
        return RunChild(args).m_nExitCode;
    }

    std::string File(const char* pszName) const { return m_dir.filePath(pszName).toStdString(); }

    QTemporaryDir m_dir;
    const std::string m_strFirst = File("first.bmp");
    const std::string m_strSecond = File("second.jpg");
};

TEST_F(WizardRoads, AnimationEqualsTheBatchToolAndRestartResetsItsRoad)
{
    WizardHarness w;
    w.ChooseSources(m_strFirst, m_strSecond, 0);
    const CAnimSettingsPage& settings = w.m_dlg.m_pageAnimSettings;
    // A source's own name: the writer adds ".avi", so it writes a new file.
    w.ChooseOutput(m_strFirst);
    WizardHarness::Type(settings, IDC_FRAME_COUNT, "50");
    WizardHarness::Type(settings, IDC_FPS, "7");
    const CAnimProgressPage& progress = w.m_dlg.m_pageAnimProgress;
    EXPECT_EQ(BarChanges(progress, [&] { w.Next(); }), Shown(50, 50));

    EXPECT_THAT(w.Boxes(), IsEmpty());
    EXPECT_EQ(w.m_compression.m_nCalls, 1);
    EXPECT_EQ(w.State(), "3 Dokončit ->x");
    EXPECT_EQ(WizardHarness::Texts(progress, {IDC_FRAME_LABEL, IDC_PERCENT_LABEL}), "50/50|100%");
    // The batch tool also takes the other source's name for a new file.
    ASSERT_EQ(Cli("anim", {m_strSecond, "--frames", "50", "--fps", "7", "--codec", "raw"}), 0);
    const std::string strWizard = ReadFile(m_strFirst + ".avi");
    EXPECT_GT(strWizard.size(), 50u * 40 * 24 * 3);
    EXPECT_TRUE(strWizard == ReadFile(m_strSecond + ".avi")) << "the wizard's file differs from plavex-cli anim";

    // Both boxes ticked: the file the writer named is opened and the wizard starts over.
    const CAnimDonePage& done = w.m_dlg.m_pageAnimDone;
    WizardHarness::Click(done, IDC_OPEN_RESULT);
    WizardHarness::Click(done, IDC_START_AGAIN);
    w.Next();
    EXPECT_THAT(w.Opened(), ElementsAre(m_strFirst + ".avi"));
    EXPECT_EQ(w.State(), "0 Další ->x");
    EXPECT_EQ(WizardHarness::Texts(w.m_dlg.m_pageSource, {IDC_PATH, IDC_SECOND_PATH}), "|");
    EXPECT_EQ(WizardHarness::Texts(settings, {IDC_PATH, IDC_FRAME_COUNT, IDC_FPS}), "|100|25");
    // The frame label reads "0/0" after a restart, not its first "Snímek 0/0".
    EXPECT_EQ(WizardHarness::Texts(progress, {IDC_FRAME_LABEL, IDC_PERCENT_LABEL}), "0/0|0%");
    EXPECT_EQ(qobject_cast<QProgressBar*>(WizardHarness::Control(progress, IDC_PROGRESS))->value(), 0);

    // The next road starts clean: "Dokončit" with both boxes clear ends the
    // wizard at once and opens nothing more.
    w.ChooseSources(m_strSecond, m_strFirst, 0);
    w.ChooseOutput(File("again.avi"));
    WizardHarness::Type(settings, IDC_FRAME_COUNT, "2");
    w.Next();
    ASSERT_EQ(w.m_dlg.m_nPage, 3);
    EXPECT_FALSE(WizardHarness::Button(done, IDC_START_AGAIN)->isChecked());
    w.Next();
    EXPECT_EQ(w.m_dlg.GetEndResult(), IDOK);
    EXPECT_EQ(w.m_shell.opened.size(), 1u);
}

TEST_F(WizardRoads, StillEqualsTheBatchToolAndRestartKeepsTheRatio)
{
    WizardHarness w;
    // A value typed on the animation page first must survive the still road,
    // and the preview opened there goes with the page.
    w.ChooseSources(m_strFirst, m_strSecond, 0);
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "9");
    const CPreviewWnd& preview = w.m_dlg.m_wndPreview;
    WizardHarness::Click(w.m_dlg.m_pageAnimSettings, IDC_PREVIEW);
    EXPECT_TRUE(preview.IsOpen());
    w.Prev();
    EXPECT_FALSE(preview.IsOpen());
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_RADIO_SECOND);
    w.Next();
    ASSERT_EQ(w.m_dlg.m_nPage, 10);

    CStillSettingsPage& settings = w.m_dlg.m_pageStillSettings;
    ASSERT_TRUE(WriteFile(File("mix.bmp"), "an older file"));
    using std::filesystem::perms;
    std::filesystem::permissions(File("mix.bmp"), perms::owner_read | perms::owner_write | perms::group_read);
    w.ChooseOutput(File("mix.bmp"));
    // At 70 the weight p × 0.01 differs from p / 100 in its last bit.
    qobject_cast<QSlider*>(WizardHarness::Control(settings, IDC_RATIO_SLIDER))->setValue(70);
    WizardHarness::Click(settings, IDC_RADIO_SECOND);
    WizardHarness::Type(settings, IDC_WIDTH, "6");
    WizardHarness::Type(settings, IDC_HEIGHT, "101");
    // Opened as the render starts, the preview is gone before the first row.
    WizardHarness::Click(settings, IDC_PREVIEW);
    int nSamples = 0, nOpen = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (w.m_dlg.IsRendering())
            ++nSamples, nOpen += preview.IsOpen();
    });
    sampler.start(0);
    // 100 rows of 4 pixels: the row counted 99 shows 99, so the still never reaches 100.
    EXPECT_EQ(BarChanges(w.m_dlg.m_pageStillProgress, [&] { w.Next(); }), Shown(100, 99));
    sampler.stop();
    EXPECT_TRUE(nSamples > 0 && nOpen == 0 && !preview.IsOpen());

    EXPECT_THAT(w.Boxes(), IsEmpty());
    EXPECT_EQ(w.State(), "11 Dokončit ->x");
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageStillProgress, IDC_PERCENT_LABEL), "99%");
    ASSERT_EQ(Cli("still", {File("cli.bmp"), "--ratio", "70", "--size", "6x101"}), 0);
    const std::string strWizard = ReadFile(File("mix.bmp"));
    EXPECT_EQ(strWizard.size(), 54u + 4 * 100 * 3);
    EXPECT_TRUE(strWizard == ReadFile(File("cli.bmp"))) << "the wizard's file differs from plavex-cli still";
    // The file it replaced keeps its permissions.
    EXPECT_EQ(std::filesystem::status(File("mix.bmp")).permissions(), perms::owner_read | perms::owner_write | perms::group_read);
    EXPECT_EQ(ListFolder(m_dir.path().toStdString()), (std::vector<std::string>{"cli.bmp", "first.bmp", "mix.bmp", "second.jpg"}));

    WizardHarness::Click(w.m_dlg.m_pageStillDone, IDC_START_AGAIN);
    w.Next();
    EXPECT_THAT(w.Opened(), IsEmpty());
    EXPECT_EQ(w.State(), "0 Další ->x");
    EXPECT_EQ(WizardHarness::Texts(settings, {IDC_PATH, IDC_WIDTH, IDC_HEIGHT, IDC_RATIO_LABEL}), "|100|100|30:70");
    EXPECT_EQ(settings.m_nSizeMode, 0);
    EXPECT_EQ(settings.m_ctlRatio.GetPos(), 70);
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageStillProgress, IDC_PERCENT_LABEL), "0%");
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT), "9");
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageSource, IDC_PATH), "");
    EXPECT_FALSE(WizardHarness::Button(w.m_dlg.m_pageStillDone, IDC_START_AGAIN)->isChecked());
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

} // namespace
