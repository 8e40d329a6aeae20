// Both roads of the wizard from the welcome page to a written file, on real
// widgets, with the files compared byte for byte against the batch tool.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Qt
#include <QFileInfo>
#include <QProcess>
#include <QProgressBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

// Local
#include "tests/app/WizardHarness.h"
#include "tests/e2e/E2eSupport.h"

namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class WizardRoads : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Odd sizes of different shapes: the automatic canvas is 40 × 24.
        m_strFirst = E2e::MakePicture(Path("first.bmp"), 37, 23, 1);
        m_strSecond = E2e::MakePicture(Path("second.jpg"), 45, 31, 2);
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
    w.ChooseOutput(File("film.avi"));
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "5");
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FPS, "7");
    w.Next();

    EXPECT_THAT(w.Messages(), IsEmpty());
    EXPECT_EQ(w.m_compression.m_nCalls, 1);
    EXPECT_EQ(w.m_dlg.m_nPage, 3);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageAnimDone));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Dokončit");
    EXPECT_TRUE(w.Enabled(IDC_NEXT));
    EXPECT_FALSE(w.Enabled(IDC_PREV));
    EXPECT_TRUE(w.Enabled(IDCANCEL));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageAnimProgress, IDC_FRAME_LABEL), "5/5");
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageAnimProgress, IDC_PERCENT_LABEL), "100%");

    ASSERT_EQ(E2e::RunCli({"anim", Path("first.bmp"), Path("second.jpg"), Path("cli.avi"), "--frames", "5", "--fps",
                           "7", "--codec", "raw"}),
              0);
    const QByteArray wizard = E2e::ReadAll(File("film.avi"));
    EXPECT_GT(wizard.size(), 5 * 40 * 24 * 3);
    EXPECT_TRUE(wizard == E2e::ReadAll(File("cli.avi"))) << "the wizard's file differs from plavex-cli anim";

    // Both boxes ticked: the file is opened and the wizard starts over.
    WizardHarness::Click(w.m_dlg.m_pageAnimDone, IDC_OPEN_RESULT);
    WizardHarness::Click(w.m_dlg.m_pageAnimDone, IDC_START_AGAIN);
    w.Next();
    EXPECT_THAT(w.m_shell.m_opened, ElementsAreArray({File("film.avi")}));
    EXPECT_EQ(w.m_dlg.GetEndResult(), -1);
    EXPECT_EQ(w.m_dlg.m_nPage, 0);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageWelcome));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Další");
    EXPECT_FALSE(w.Enabled(IDC_PREV));
    EXPECT_TRUE(w.Enabled(IDC_NEXT) && w.Enabled(IDCANCEL));

    const CSourcePage& source = w.m_dlg.m_pageSource;
    EXPECT_EQ(WizardHarness::Text(source, IDC_PATH), "");
    EXPECT_EQ(WizardHarness::Text(source, IDC_SECOND_PATH), "");
    EXPECT_EQ(source.m_nMode, 0);
    const CAnimSettingsPage& settings = w.m_dlg.m_pageAnimSettings;
    EXPECT_EQ(WizardHarness::Text(settings, IDC_PATH), "");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_FRAME_COUNT), "100");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_FPS), "25");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_WIDTH), "100");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_HEIGHT), "100");
    EXPECT_EQ(settings.m_nSizeMode, 0);
    // The frame label reads "0/0" after a restart, not its first "Snímek 0/0".
    const CAnimProgressPage& progress = w.m_dlg.m_pageAnimProgress;
    EXPECT_EQ(WizardHarness::Text(progress, IDC_FRAME_LABEL), "0/0");
    EXPECT_EQ(WizardHarness::Text(progress, IDC_PERCENT_LABEL), "0%");
    EXPECT_EQ(qobject_cast<QProgressBar*>(WizardHarness::Control(progress, IDC_PROGRESS))->value(), 0);
    const CAnimDonePage& done = w.m_dlg.m_pageAnimDone;
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(WizardHarness::Control(done, IDC_OPEN_RESULT))->isChecked());
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(WizardHarness::Control(done, IDC_START_AGAIN))->isChecked());

    // The next road starts clean: "Dokončit" with both boxes clear ends the
    // wizard at once and opens nothing more.
    w.ChooseSources(m_strSecond, m_strFirst, 0);
    w.ChooseOutput(File("again.avi"));
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "2");
    w.Next();
    ASSERT_EQ(w.m_dlg.m_nPage, 3);
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(WizardHarness::Control(done, IDC_OPEN_RESULT))->isChecked());
    w.Next();
    EXPECT_EQ(w.m_dlg.GetEndResult(), IDOK);
    EXPECT_EQ(w.m_shell.m_opened.size(), 1u);
    EXPECT_THAT(w.Messages(), IsEmpty());
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
    w.ChooseOutput(File("mix.bmp"));
    qobject_cast<QSlider*>(WizardHarness::Control(settings, IDC_RATIO_SLIDER))->setValue(30);
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

    ASSERT_EQ(E2e::RunCli({"still", Path("first.bmp"), Path("second.jpg"), Path("cli.bmp"), "--ratio", "30",
                           "--size", "51x30"}),
              0);
    const QByteArray wizard = E2e::ReadAll(File("mix.bmp"));
    EXPECT_EQ(wizard.size(), 54 + 48 * 28 * 3);
    EXPECT_TRUE(wizard == E2e::ReadAll(File("cli.bmp"))) << "the wizard's file differs from plavex-cli still";
    EXPECT_EQ(QImage(Path("mix.bmp")).size(), QSize(48, 28));
    EXPECT_EQ(QFileInfo(Path("mix.bmp")).permissions(), QFileInfo(Path("cli.bmp")).permissions());
    EXPECT_THAT(E2e::Names(m_dir.path()), ::testing::UnorderedElementsAre("first.bmp", "second.jpg", "mix.bmp",
                                                                          "cli.bmp"));

    WizardHarness::Click(w.m_dlg.m_pageStillDone, IDC_START_AGAIN);
    w.Next();
    EXPECT_THAT(w.m_shell.m_opened, IsEmpty());
    EXPECT_EQ(w.m_dlg.m_nPage, 0);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageWelcome));
    EXPECT_FALSE(w.Enabled(IDC_PREV));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Další");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_PATH), "");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_WIDTH), "100");
    EXPECT_EQ(WizardHarness::Text(settings, IDC_HEIGHT), "100");
    EXPECT_EQ(settings.m_nSizeMode, 0);
    EXPECT_EQ(settings.m_ctlRatio.GetPos(), 30);
    EXPECT_EQ(WizardHarness::Text(settings, IDC_RATIO_LABEL), "70:30");
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

// What the progress pages show after every row: the bar, and the texts as
// the queue drain lets them be seen.
struct ProgressSample {
    int nBar;
    std::string strFrame;
    std::string strPercent;
    bool operator==(const ProgressSample&) const = default;
};

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

    // The drain after each row lets a zero timer look at the page.
    const CAnimProgressPage& progress = w.m_dlg.m_pageAnimProgress;
    auto* pBar = qobject_cast<QProgressBar*>(WizardHarness::Control(progress, IDC_PROGRESS));
    std::vector<ProgressSample> samples;
    QTimer sampler;
    sampler.setInterval(0);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        ProgressSample sample{pBar->value(), WizardHarness::Text(progress, IDC_FRAME_LABEL),
                              WizardHarness::Text(progress, IDC_PERCENT_LABEL)};
        if (samples.empty() || !(samples.back() == sample))
            samples.push_back(sample);
    });
    sampler.start();
    const std::vector<int> changes = BarChanges(pBar, [&] { w.Next(); });
    sampler.stop();

    EXPECT_EQ(changes, HundredStepChanges(100));
    ASSERT_EQ(w.m_dlg.m_nPage, 3);
    EXPECT_EQ(WizardHarness::Text(progress, IDC_FRAME_LABEL), "100/100");
    EXPECT_EQ(WizardHarness::Text(progress, IDC_PERCENT_LABEL), "100%");
    // Frame texts run 1/100 .. 99/100 during the render, each with its percentage.
    std::vector<ProgressSample> expected;
    expected.push_back({0, "Snímek 0/0", "0%"}); // the first rows, before any frame is done
    for (int j = 1; j < 100; ++j) {
        const int nPercent = j == 29 ? 28 : j == 57 ? 56 : j == 58 ? 57 : j;
        expected.push_back({nPercent, std::to_string(j) + "/100", std::to_string(nPercent) + "%"});
    }
    EXPECT_EQ(samples, expected);
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
