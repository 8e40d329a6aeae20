// The wizard end to end on real widgets and real files. Both roads: a file
// that differs from the batch tool's by one byte, a restart that keeps or
// drops the wrong values, progress pages that show other numbers than the
// renders reach or leave the last one unpainted, a preview left open when its
// page goes, a command line obeyed.
// A render that cannot finish: a failure not told or told with the wrong
// text, a page other than the settings page after it, a partial file left,
// an older file or a source changed (also by the batch tool), and a render
// that goes on after the user ended the program.

#include <csignal>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <sys/inotify.h>
#include <unistd.h>

// Google Test
#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

// Local
#include "tests/app/WizardHarness.h"
#include "tests/support/TestKit.h"
#include "video/VideoContainer.h"

namespace {

std::string Error(const std::string& strText) { return CRecordingMessageBox::Box("Chyba", "! ok", strText); }

// Two pictures in a folder of their own, and a folder for the outputs.
class WizardFiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sources.isValid() && m_dir.isValid());
        // Odd sizes of different shapes: the automatic canvas is 132 × 96, 38,070 bytes a picture.
        SavePicture(m_strFirst, 129, 97, 1);
        SavePicture(m_strSecond, 137, 101, 2);
    }

    std::string Source(const char* pszName) const { return m_sources.filePath(QString::fromUtf8(pszName)).toStdString(); }
    std::string Out(const std::string& strName) const { return m_dir.filePath(strName.c_str()).toStdString(); }

    QTemporaryDir m_sources;  // The pictures.
    QTemporaryDir m_dir;      // The outputs.
    const std::string m_strFirst = Source("first.bmp");
    const std::string m_strSecond = Source("second.jpg");
};

// The values a progress bar takes while the render runs, and the percentage
// the page painted last.
std::pair<std::vector<int>, std::string> BarChanges(const CProgressPage& progress, const std::function<void()>& run)
{
    struct Listener : QObject {  // Its going ends the connection.
        bool eventFilter(QObject* pLabel, QEvent* pEvent) override
        {
            if (pEvent->type() == QEvent::Paint)
                strPainted = static_cast<QLabel*>(pLabel)->text().toStdString();
            return false;
        }
        std::string strPainted;
    } listener;
    progress.Item(IDC_PERCENT_LABEL)->installEventFilter(&listener);
    std::vector<int> changes;
    QObject::connect(progress.m_ctlProgress, &QProgressBar::valueChanged, &listener, [&](int nValue) { changes.push_back(nValue); });
    run();
    return {changes, listener.strPainted};
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

// A key, or for Key_unknown a left click, pressed and released on every
// widget of the frame and its pages, shown or hidden; then "Další" reaching
// the frame some other way.
void Everywhere(WizardHarness& w, QKeyCombination key)
{
    QList<QWidget*> widgets = w.m_dlg.findChildren<QWidget*>();
    for (QWidget* pWidget : widgets << &w.m_dlg)
        for (const bool bPress : {true, false}) {
            QKeyEvent press(bPress ? QEvent::KeyPress : QEvent::KeyRelease, key.key(), key.keyboardModifiers(),
                            key.key() == Qt::Key_Space ? " " : "");
            QMouseEvent click(bPress ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, QPointF(2, 2),
                              pWidget->mapToGlobal(QPointF(2, 2)), Qt::LeftButton, bPress ? Qt::LeftButton : Qt::NoButton, {});
            QApplication::sendEvent(pWidget, key.key() == Qt::Key_unknown ? static_cast<QEvent*>(&click) : &press);
        }
    w.m_dlg.OnNext();
}

// The animation road, the pictures kept in shape, to a source's own name, to
// which the writer adds ".avi", and to "klip.mp4", where H.264 alone is
// offered: the file equals the batch tool's byte for byte (for MP4 made there
// on one thread, here on one per core), is the one opened, and the restart
// resets the road. Whatever key or click reaches any page during the render
// does nothing: the render finishes, and no chooser or box opens.
struct AnimRoad {
    const char* m_pszName;
    const char* m_pszCodec;
    const char* m_pszQuality;
    QKeyCombination m_key;
};

class WizardAnimRoad : public WizardFiles, public testing::WithParamInterface<AnimRoad> {};

TEST_P(WizardAnimRoad, EqualsTheBatchToolAndRestartResetsItsRoad)
{
    const AnimRoad& r = GetParam();
    const bool bMp4 = std::string(r.m_pszCodec) == "h264";
    WizardHarness w;
    w.m_compression.m_choice = {FindVideoCodec(r.m_pszCodec), std::stoi(r.m_pszQuality)};
    w.ChooseSources(m_strFirst, m_strSecond, 0);
    const CAnimSettingsPage& settings = w.m_dlg.m_pageAnimSettings;
    w.ChooseOutput(bMp4 ? Out("klip.mp4") : m_strFirst);
    WizardHarness::Type(settings, IDC_FRAME_COUNT, "50");
    WizardHarness::Type(settings, IDC_FPS, "7");
    WizardHarness::Click(settings, IDC_KEEP_ASPECT);
    const CProgressPage& progress = w.m_dlg.m_pageAnimProgress;
    const std::size_t nChoosers = w.m_files.requests.size();
    QTimer::singleShot(0, &w.m_dlg, [&] { Everywhere(w, r.m_key); });
    EXPECT_EQ(BarChanges(progress, [&] { w.Next(); }), std::pair(Shown(50, 50), std::string("100%")));

    EXPECT_EQ(std::tuple(w.m_boxes.shown.size(), w.m_files.requests.size(), w.m_compression.m_offered, w.State(),
                         WizardHarness::Texts(progress, {IDC_FRAME_LABEL, IDC_PERCENT_LABEL})),
              std::tuple(0u, nChoosers, CodecsOf(bMp4 ? VideoContainer::Mp4 : VideoContainer::Avi), "AnimDone Dokončit ->x", "50/50|100%"));
    // The batch tool also takes the other source's name for a new file.
    const std::string strWritten = bMp4 ? Out("klip.mp4") : m_strFirst + ".avi";
    const std::string strCli = bMp4 ? Out("cli.mp4") : m_strSecond;
    std::vector<std::string> cli = {PLAVEX_CLI_PATH, "anim", m_strFirst, m_strSecond, strCli, "--frames", "50",
                                    "--fps", "7", "--codec", r.m_pszCodec, "--fit", "contain"};
    if (bMp4)
        cli.insert(cli.end(), {"--quality", r.m_pszQuality, "--threads", "1"});
    ASSERT_EQ(RunChild(cli).m_nExitCode, 0);
    EXPECT_TRUE(ReadFile(strWritten) == ReadFile(bMp4 ? strCli : strCli + ".avi")) << "the wizard's file differs from plavex-cli anim";

    // Both boxes ticked: the file the writer named is opened and the wizard starts over.
    const CDonePage& done = w.m_dlg.m_pageAnimDone;
    WizardHarness::Click(done, IDC_OPEN_RESULT);
    WizardHarness::Click(done, IDC_START_AGAIN);
    w.Next();
    EXPECT_EQ(w.m_shell.opened, std::vector{strWritten});
    // The frame label reads "0/0" after a restart, not its first "Snímek 0/0".
    EXPECT_EQ((std::vector{w.State(), WizardHarness::Texts(w.m_dlg.m_pageSource, {IDC_PATH, IDC_SECOND_PATH}),
                           WizardHarness::Texts(settings, {IDC_PATH, IDC_FRAME_COUNT, IDC_FPS, IDC_WIDTH}),
                           WizardHarness::Texts(progress, {IDC_FRAME_LABEL, IDC_PERCENT_LABEL})}),
              (std::vector<std::string>{"Welcome Další ->x", "|", "|100|25|100", "0/0|0%"}));
    // The bar is empty and every box is clear for the next road.
    EXPECT_EQ(std::tuple(progress.m_ctlProgress->value(), WizardHarness::Button(settings, IDC_KEEP_ASPECT)->isChecked(),
                         WizardHarness::Button(done, IDC_OPEN_RESULT)->isChecked(),
                         WizardHarness::Button(done, IDC_START_AGAIN)->isChecked()), std::tuple(0, false, false, false));
}

const AnimRoad kRoads[] = {
    {"AviOfRawFramesUnderEnter", "raw", "0", Qt::Key_Return}, {"Mp4UnderSpace", "h264", "37", Qt::Key_Space},
    {"AviUnderKeypadEnter", "raw", "0", Qt::KeypadModifier | Qt::Key_Enter}, {"AviUnderEscape", "raw", "0", Qt::Key_Escape},
    {"AviUnderClicks", "raw", "0", Qt::Key_unknown},
};
INSTANTIATE_TEST_SUITE_P(Roads, WizardAnimRoad, testing::ValuesIn(kRoads),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

// The still road to each name: the file equals the batch tool's byte for
// byte, so it is in the format its extension names, in any case (any other
// name is a BMP; the batch tool's tests check each format of the table), with
// the pictures kept in shape but for the BMP; the restart keeps the ratio and
// resets the rest of the page.
class WizardStillRoad : public WizardFiles, public testing::WithParamInterface<const char*> {};

TEST_P(WizardStillRoad, EqualsTheBatchToolAndRestartKeepsTheRatio)
{
    const std::string strName = GetParam(), strCli = "cli" + strName.substr(strName.find('.'));
    const bool bKeepAspect = !strName.ends_with(".bmp");
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

    CStillSettingsPage& settings = w.m_dlg.m_pageStillSettings;
    ASSERT_TRUE(WriteFile(Out(strName), "an older file"));
    w.ChooseOutput(Out(strName));
    // At 70 the weight p × 0.01 differs from p / 100 in its last bit.
    settings.m_ctlRatio->setValue(70);
    WizardHarness::Click(settings, IDC_RADIO_SECOND);
    WizardHarness::Type(settings, IDC_WIDTH, "6");
    WizardHarness::Type(settings, IDC_HEIGHT, "101");
    if (bKeepAspect)
        WizardHarness::Click(settings, IDC_KEEP_ASPECT);
    // 100 rows of 4 pixels: the row counted 99 shows 99, so the still never reaches 100.
    EXPECT_EQ(BarChanges(w.m_dlg.m_pageStillProgress, [&] { w.Next(); }), std::pair(Shown(100, 99), std::string("99%")));

    EXPECT_EQ(std::tuple(w.m_boxes.shown.size(), w.State(), WizardHarness::Text(w.m_dlg.m_pageStillProgress, IDC_PERCENT_LABEL)),
              std::tuple(0u, "StillDone Dokončit ->x", "99%"));
    ASSERT_EQ(RunChild({PLAVEX_CLI_PATH, "still", m_strFirst, m_strSecond, Out(strCli), "--ratio", "70", "--size", "6x101",
                        "--fit", bKeepAspect ? "contain" : "stretch"}).m_nExitCode, 0);
    EXPECT_TRUE(ReadFile(Out(strName)) == ReadFile(Out(strCli))) << "the wizard's file differs from plavex-cli still";

    WizardHarness::Click(w.m_dlg.m_pageStillDone, IDC_START_AGAIN);
    w.Next();
    EXPECT_EQ((std::vector{w.State(), WizardHarness::Texts(settings, {IDC_PATH, IDC_WIDTH, IDC_HEIGHT, IDC_RATIO_LABEL}),
                           WizardHarness::Text(w.m_dlg.m_pageStillProgress, IDC_PERCENT_LABEL),
                           WizardHarness::Text(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT),
                           WizardHarness::Text(w.m_dlg.m_pageSource, IDC_PATH)}),
              (std::vector<std::string>{"Welcome Další ->x", "|100|100|30:70", "0%", "9", ""}));
    EXPECT_EQ(std::tuple(settings.m_nSizeMode, settings.m_ctlRatio->value(), WizardHarness::Button(settings, IDC_KEEP_ASPECT)->isChecked(),
                         WizardHarness::Button(w.m_dlg.m_pageStillDone, IDC_START_AGAIN)->isChecked()), std::tuple(0, 70, false, false));
}

INSTANTIATE_TEST_SUITE_P(Names, WizardStillRoad, testing::Values("mix.bmp", "mix.png", "mix.JPG", "mix.webp", "mix.tiff", "mix.obr"),
                         [](const auto& info) { return std::string(info.param).substr(4); });

TEST(WizardProgram, IgnoresItsCommandLine)
{
    // The environment names a display that does not exist, so the wizard
    // ends at once for want of it. Obeyed, "-platform offscreen" would open
    // the wizard instead, and its wait for the user would be the failure.
    QProcess wizard;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("none"));
    wizard.setProcessEnvironment(environment);
    wizard.start(QStringLiteral(PLAVEX_WIZARD_PATH), {"-platform", "offscreen", "-reverse"});
    ASSERT_TRUE(wizard.waitForFinished(60000)) << "the wizard obeyed its command line";
    EXPECT_THAT(wizard.readAllStandardError().toStdString(), ::testing::HasSubstr("\"none\""));
}

// The source pictures that run() opens, by name.
std::set<std::string> Opened(const QTemporaryDir& folder, const std::function<void()>& run)
{
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    inotify_add_watch(fd, folder.path().toLocal8Bit().constData(), IN_OPEN);
    run();
    std::set<std::string> names;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        for (const char* p = buffer; p < buffer + n; p += sizeof(inotify_event) + reinterpret_cast<const inotify_event*>(p)->len)
            if (const auto* pEvent = reinterpret_cast<const inotify_event*>(p); pEvent->len > 0)
                names.insert(pEvent->name);
    close(fd);
    return names;
}

// Refused on the source page, whose thumbnail has told it; on the settings
// page before a picture is opened; then by the render; last, a render stopped
// by a signal or the close box answered "Ano", after which the wizard ends.
enum class Fault {
    NamedSecond, MissingFirst, SourceAsOutput, SourceHardLinked, SourceSymlinked, UnwritableFormat, SpoiltFirst,
    ImpossibleSize, MissingFolder, FileSizeLimit, CompressorCancelled, StopSignal, CloseBoxAnsweredYes
};

struct WizardFault {
    const char* m_pszName;
    bool m_bAnimation;
    Fault m_nFault;
    std::string m_strMessage;  // Empty: nothing is told.
    // NamedSecond: the second picture's name, then the seed it copies. ImpossibleSize: the width and height.
    // StopSignal: the signal's number. UnwritableFormat: the output's name.
    const char* m_pszFirstArg = nullptr;
    const char* m_pszSecondArg = nullptr;
};

class WizardFaultTest : public WizardFiles, public testing::WithParamInterface<WizardFault> {};

// An output that is one of the sources, by its own path or through a link, is
// refused; the animation's own path is "x.avi.bmp", a name the writer keeps. A render whose first picture fails
// never opens the second. A stopped render goes no further than the drain
// that stops it, and drops its unfinished file.
TEST_P(WizardFaultTest, IsToldOnceOnItsPageWithTheFilesAsTheyWere)
{
    const WizardFault& f = GetParam();
    const std::string strName = f.m_bAnimation ? "film.avi" : "mix.bmp";
    std::string strTarget = Out(strName), strFirst = m_strFirst, strSecond = m_strSecond;
    ASSERT_TRUE(WriteFile(strTarget, "an older file of that name"));
    switch (f.m_nFault) {
    case Fault::NamedSecond:
        ASSERT_TRUE(QFile::copy(PLAVEX_CORPUS_DIR "/load_picture/" + QString(f.m_pszSecondArg), QString::fromStdString(strSecond = Source(f.m_pszFirstArg))));
        break;
    case Fault::MissingFirst: strFirst = Source("missing.bmp"); break;
    case Fault::UnwritableFormat: strTarget = Out(f.m_pszFirstArg); break;
    case Fault::SourceAsOutput: strTarget = strFirst = SavePicture(Source("x.avi.bmp"), 129, 97, 1); break;
    case Fault::SourceHardLinked:
    case Fault::SourceSymlinked:
        ASSERT_TRUE(QFile::remove(QString::fromStdString(strTarget)));
        if (f.m_nFault == Fault::SourceSymlinked)
            std::filesystem::create_symlink(m_strSecond, strTarget);
        else
            std::filesystem::create_hard_link(m_strFirst, strTarget);
        break;
    case Fault::MissingFolder: strTarget = Out("missing/" + strName); break;
    default: break;
    }

    WizardHarness w(f.m_nFault == Fault::CompressorCancelled);
    w.ChooseSources(strFirst, strSecond, f.m_bAnimation ? 0 : 1);
    const CSettingsPage& settings = w.Settings();
    if (f.m_nFault == Fault::SpoiltFirst) {
        ASSERT_TRUE(WriteFile(strFirst, "no longer a picture"));
    }
    w.ChooseOutput(strTarget);
    WizardHarness::Type(settings, IDC_FRAME_COUNT, "4");
    if (f.m_nFault == Fault::ImpossibleSize) {
        WizardHarness::Click(settings, IDC_RADIO_SECOND);
        WizardHarness::Type(settings, IDC_WIDTH, f.m_pszFirstArg);
        WizardHarness::Type(settings, IDC_HEIGHT, f.m_pszSecondArg);
    }
    // The folders, and the bytes at the target's name and of both sources.
    const auto files = [&] {
        return std::vector<std::vector<std::string>>{ListFolder(m_dir.path().toStdString()),
                                                     ListFolder(m_sources.path().toStdString()),
                                                     {ReadFile(strTarget), ReadFile(strFirst), ReadFile(strSecond)}};
    };
    const auto before = files();
    // The still fails at once; the animation after two frames.
    const FileSizeLimit full(f.m_nFault != Fault::FileSizeLimit ? RLIM_INFINITY : f.m_bAnimation ? 100000 : 20000);
    const bool bOnSource = f.m_nFault <= Fault::MissingFirst;
    QTimer::singleShot(0, &w.m_dlg, [&] {  // at the render's first drain
        w.m_boxes.answers = {QMessageBox::Yes};
        if (f.m_nFault == Fault::StopSignal)
            std::raise(std::atoi(f.m_pszFirstArg));
        else if (f.m_nFault == Fault::CloseBoxAnsweredYes)
            w.m_dlg.close();
    });
    const std::set<std::string> opened = Opened(m_sources, [&] {
        if (!bOnSource)
            w.Next();
    });
    const std::set<std::string> expected = f.m_nFault < Fault::SpoiltFirst    ? std::set<std::string>()
                                         : f.m_nFault == Fault::SpoiltFirst ? std::set<std::string>{"first.bmp"}
                                                                            : std::set<std::string>{"first.bmp", "second.jpg"};
    EXPECT_EQ(opened, expected);

    // A missing folder's message names the file, at the "@".
    std::string strText = f.m_strMessage;
    if (const std::size_t nAt = strText.find('@'); nAt != std::string::npos)
        strText.replace(nAt, 1, strTarget);
    EXPECT_EQ(w.m_boxes.shown, strText.empty() ? std::vector<std::string>{} : std::vector{f.m_nFault == Fault::CloseBoxAnsweredYes ? strText : Error(strText)});
    // The compressor is chosen once the pictures are loaded and the name is
    // checked, before the file is made.
    EXPECT_EQ(w.m_compression.m_nCalls, f.m_bAnimation && f.m_nFault >= Fault::MissingFolder ? 1 : 0);
    EXPECT_EQ(w.State(), std::string(bOnSource ? "Source Další <>x" : f.m_bAnimation ? "AnimSettings Další <>x" : "StillSettings Další <>x") +
                             (f.m_nFault >= Fault::StopSignal ? " end 0" : ""));
    EXPECT_TRUE(files() == before) << "a file was left, or the target or a source changed";
}

const std::string kNotLoaded = "Obrázek se nepodařilo načíst!\n";
const std::string kBadSize = "Zadaná velikost je příliš velká nebo neplatná!";
const std::string kIsSource = "Výstupní soubor nesmí být jedním ze zdrojových obrázků!";
const WizardFault kFaults[] = {
    // A long name keeps its start and its end.
    {"StillDamagedSecondWithALongName", false, Fault::NamedSecond, kNotLoaded + "dovolená v Beskydech…í, ráno u chaty.png: Obrázek je poškozený.",
     "dovolená v Beskydech se vším všudy, den třetí, ráno u chaty.png", "png_cut_half.bin"},
    {"AnimMissingFirst", true, Fault::MissingFirst, kNotLoaded + "missing.bmp: Soubor nelze otevřít."},
    // 65535 × 65535 pixels claimed in a few hundred bytes.
    {"AnimSecondClaimsHugeSize", true, Fault::NamedSecond, kNotLoaded + "obří.gif: Obrázek je příliš velký.", "obří.gif", "gif_huge.gif"},
    {"AnimFirstSpoiltAfterTheSourcePage", true, Fault::SpoiltFirst, kNotLoaded + "first.bmp: Soubor není obrázek ve známém formátu."},
    {"StillNegativeHeight", false, Fault::ImpossibleSize, kBadSize, "100", "-2"},
    {"StillSourceAsOutput", false, Fault::SourceAsOutput, kIsSource},
    {"AnimSourceAsOutput", true, Fault::SourceAsOutput, kIsSource},
    {"StillSourceHardLinked", false, Fault::SourceHardLinked, kIsSource},
    {"AnimSourceSymlinked", true, Fault::SourceSymlinked, kIsSource},
    {"AnimMissingFolder", true, Fault::MissingFolder, "Animaci se nepodařilo uložit!\nAVI Engine failed to initialize. Check filename @.A disk error occurred while opening the file."},
    {"StillFileSizeLimit", false, Fault::FileSizeLimit, "Soubor se nepodařilo uložit!"},
    {"AnimFileSizeLimit", true, Fault::FileSizeLimit, "Animaci se nepodařilo uložit!\nAVI frame write failed. A disk error occurred while writing the file."},
    {"AnimCompressorCancelled", true, Fault::CompressorCancelled, ""},
    {"StillNamedHeic", false, Fault::UnwritableFormat, "Obrázek nelze uložit ve formátu HEIC!\nUložit jej lze jako BMP, PNG, JPEG, WebP nebo TIFF.", "mix.heic"},
    {"AnimStoppedBySigterm", true, Fault::StopSignal, "", "15"},
    {"StillStoppedBySighup", false, Fault::StopSignal, "", "1"},
    {"AnimStoppedBySigint", true, Fault::StopSignal, "", "2"},
    {"AnimCloseBoxAnsweredYes", true, Fault::CloseBoxAnsweredYes, CRecordingMessageBox::Box("Plavex", "? yes/no", "Opravdu chcete ukončit program?")},
};
INSTANTIATE_TEST_SUITE_P(Rows, WizardFaultTest, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

} // namespace
