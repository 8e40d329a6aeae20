// What the wizard does when a render cannot finish: pictures that do not
// load, sizes that cannot be made, outputs that cannot be written, a
// cancelled compressor choice and the user ending the program mid-render.
// In every case no partial file is left and an existing file is untouched.

#include <array>
#include <csignal>
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

// Qt
#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

// Local
#include "tests/app/WizardHarness.h"
#include "tests/e2e/E2eSupport.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAreArray;

constexpr const char* kOld = "an older file of that name";

// Files larger than the limit cannot be written while it holds, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t nBytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = nBytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

class WizardFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_sources.isValid());
        m_strFirst = E2e::MakePicture(m_sources.filePath("first.bmp"), 20, 12, 1);
        m_strSecond = E2e::MakePicture(m_sources.filePath("second.bmp"), 28, 20, 2);
    }

    std::string File(const char* pszName) const { return m_dir.filePath(QString::fromUtf8(pszName)).toStdString(); }

    // The wizard is back on the settings page it came from, ready to try again.
    static void ExpectBackOnSettings(const WizardHarness& w, const CDialog& settings, int nPage)
    {
        EXPECT_EQ(w.m_dlg.m_nPage, nPage);
        EXPECT_TRUE(w.OnlyShown(settings));
        EXPECT_TRUE(w.Enabled(IDC_NEXT) && w.Enabled(IDC_PREV) && w.Enabled(IDCANCEL));
        EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Další");
        EXPECT_EQ(w.m_dlg.GetEndResult(), -1);
    }

    QTemporaryDir m_dir;     // outputs only
    QTemporaryDir m_sources; // pictures
    std::string m_strFirst;
    std::string m_strSecond;
};

TEST_F(WizardFaults, UndecodableSecondPictureIsReportedOnceAndNothingIsMade)
{
    const std::string strBroken = E2e::MakeFile(m_sources.filePath("broken.jpg"), "\xFF\xD8\xFF not a picture");
    for (const int nMode : {0, 1}) {
        WizardHarness w;
        w.ChooseSources(m_strFirst, strBroken, nMode);
        w.ChooseOutput(File(nMode == 0 ? "film.avi" : "mix.bmp"));
        w.Next();

        ASSERT_EQ(w.m_boxes.m_shown.size(), 1u);
        EXPECT_EQ(w.m_boxes.m_shown[0].strText, "Obrázek se nepodařilo načíst!\nbroken.jpg: Obrázek je poškozený.");
        EXPECT_EQ(w.m_boxes.m_shown[0].strCaption, "Chyba");
        EXPECT_EQ(w.m_boxes.m_shown[0].nType, MB_ICONEXCLAMATION);
        if (nMode == 0) {
            ExpectBackOnSettings(w, w.m_dlg.m_pageAnimSettings, 2);
            EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageAnimProgress, IDC_FRAME_LABEL), "Snímek 0/0");
        } else {
            ExpectBackOnSettings(w, w.m_dlg.m_pageStillSettings, 10);
        }
        EXPECT_EQ(w.m_compression.m_nCalls, 0);
        EXPECT_THAT(E2e::Names(m_dir.path()), IsEmpty());

        // The way back to the source page is open.
        w.Prev();
        EXPECT_EQ(w.m_dlg.m_nPage, 1);
    }
}

TEST_F(WizardFaults, EachKindOfRefusalNamesTheFileAndItsReason)
{
    // A lossless WebP whose header claims 16384 × 16384 pixels.
    QByteArray huge;
    QBuffer buffer(&huge);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImage(m_strFirst.c_str()).save(&buffer, "WEBP", 100));
    const qsizetype nBits = huge.indexOf("VP8L") + 9;
    ASSERT_GT(nBits, 8);
    for (int i = 0; i < 4; ++i)
        huge[nBits + i] = static_cast<char>(i < 3 ? 0xFF : (huge[nBits + 3] & 0xF0) | 0x0F);
    ASSERT_TRUE(QImage(m_strFirst.c_str()).save(m_sources.filePath("whole.png")));
    QByteArray cut = E2e::ReadAll(m_sources.filePath("whole.png").toStdString());
    cut.chop(30);

    const struct {
        std::string m_strPath;
        const char* m_pszLine;
    } kCases[] = {
        {m_sources.filePath("chybí.heic").toStdString(), "chybí.heic: Soubor nelze otevřít."},
        {E2e::MakeFile(m_sources.filePath("dopis.txt"), "Milá Evo,\n"), "dopis.txt: Soubor není obrázek ve známém formátu."},
        {E2e::MakeFile(m_sources.filePath("useknutý.png"), cut), "useknutý.png: Obrázek je poškozený."},
        {E2e::MakeFile(m_sources.filePath("obří.webp"), huge), "obří.webp: Obrázek je příliš velký."},
        // A long name keeps its start and its end.
        {m_sources.filePath("dovolená v Beskydech se vším všudy, den třetí, ráno u chaty.jpg").toStdString(),
         "dovolená v Beskydech…í, ráno u chaty.jpg: Soubor nelze otevřít."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.m_strPath);
        WizardHarness w;
        w.ChooseSources(m_strFirst, c.m_strPath, 1);
        w.ChooseOutput(File("mix.bmp"));
        w.Next();
        EXPECT_THAT(w.Messages(), ElementsAre(std::string("Obrázek se nepodařilo načíst!\n") + c.m_pszLine));
        EXPECT_THAT(E2e::Names(m_dir.path()), IsEmpty());
    }
}

TEST_F(WizardFaults, FirstPictureThatFailsLeavesTheSecondUnopened)
{
    const std::string strMissing = m_sources.filePath("missing.bmp").toStdString();
    const int fdWatch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(fdWatch, 0);
    ASSERT_GE(inotify_add_watch(fdWatch, m_strSecond.c_str(), IN_OPEN), 0);
    char events[4096];
    for (const int nMode : {0, 1}) {
        WizardHarness w;
        w.ChooseSources(strMissing, m_strSecond, nMode);
        w.ChooseOutput(File(nMode == 0 ? "film.avi" : "mix.bmp"));
        // The source page's thumbnail reads the second picture; the render must not.
        while (WizardHarness::Text(w.m_dlg.m_pageSource, IDC_SECOND_REASON) != "")
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        while (read(fdWatch, events, sizeof events) > 0) {
        }
        w.Next();
        EXPECT_THAT(w.Messages(), ElementsAre("Obrázek se nepodařilo načíst!\nmissing.bmp: Soubor nelze otevřít."));
        EXPECT_LT(read(fdWatch, events, sizeof events), 0) << "the render opened the second picture";
    }
    close(fdWatch);
    EXPECT_THAT(E2e::Names(m_dir.path()), IsEmpty());
}

TEST_F(WizardFaults, StillThatCannotBeWrittenIsReportedAndTheOldFileStays)
{
    E2e::MakeFile(m_dir.filePath("mix.bmp"), kOld);
    WizardHarness w;
    w.ChooseSources(m_strFirst, m_strSecond, 1);

    // A folder that does not exist.
    w.ChooseOutput(File("missing/mix.bmp"));
    w.Next();
    EXPECT_THAT(w.Messages(), ElementsAre("Soubor se nepodařilo uložit!"));
    EXPECT_EQ(w.m_boxes.m_shown[0].strCaption, "Chyba");
    EXPECT_EQ(w.m_boxes.m_shown[0].nType, MB_ICONEXCLAMATION);
    ExpectBackOnSettings(w, w.m_dlg.m_pageStillSettings, 10);

    // A disk that fills up while the new file is written.
    w.ChooseOutput(File("mix.bmp"));
    {
        FileSizeLimit full(100);
        w.Next();
    }
    EXPECT_THAT(w.Messages(), ElementsAre("Soubor se nepodařilo uložit!", "Soubor se nepodařilo uložit!"));
    ExpectBackOnSettings(w, w.m_dlg.m_pageStillSettings, 10);
    EXPECT_EQ(E2e::ReadAll(File("mix.bmp")), QByteArray(kOld));
    EXPECT_THAT(E2e::Names(m_dir.path()), ElementsAre("mix.bmp"));

    // With room again the same settings succeed, and the file keeps its permissions.
    QFile::setPermissions(m_dir.filePath("mix.bmp"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QFile::Permissions permissions = QFile::permissions(m_dir.filePath("mix.bmp"));
    w.Next();
    EXPECT_EQ(QFile::permissions(m_dir.filePath("mix.bmp")), permissions);
    EXPECT_THAT(E2e::Names(m_dir.path()), ElementsAre("mix.bmp"));
    EXPECT_EQ(w.m_dlg.m_nPage, 11);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageStillDone));
    EXPECT_EQ(E2e::ReadAll(File("mix.bmp")).left(2), QByteArray("BM"));
}

TEST_F(WizardFaults, AnimationThatCannotBeOpenedOrWrittenIsReportedWithTheWritersText)
{
    E2e::MakeFile(m_dir.filePath("film.avi"), kOld);
    WizardHarness w;
    w.ChooseSources(m_strFirst, m_strSecond, 0);

    const std::string strMissing = File("missing/film.avi");
    w.ChooseOutput(strMissing);
    w.Next();
    ASSERT_EQ(w.m_boxes.m_shown.size(), 1u);
    EXPECT_THAT(w.m_boxes.m_shown[0].strText,
                StartsWith("Animaci se nepodařilo uložit!\nAVI Engine failed to initialize. Check filename " +
                           strMissing + "."));
    EXPECT_EQ(w.m_boxes.m_shown[0].strCaption, "Chyba");
    EXPECT_EQ(w.m_boxes.m_shown[0].nType, MB_ICONEXCLAMATION);
    ExpectBackOnSettings(w, w.m_dlg.m_pageAnimSettings, 2);

    // Frames of 30,000 bytes against a limit of 100,000: a later frame fails.
    w.ChooseOutput(File("film.avi"));
    WizardHarness::Click(w.m_dlg.m_pageAnimSettings, IDC_RADIO_SECOND);
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "10");
    {
        FileSizeLimit full(100000);
        w.Next();
    }
    ASSERT_EQ(w.m_boxes.m_shown.size(), 2u);
    EXPECT_THAT(w.m_boxes.m_shown[1].strText, StartsWith("Animaci se nepodařilo uložit!\nAVI "));
    EXPECT_GT(w.m_boxes.m_shown[1].strText.size(), std::string("Animaci se nepodařilo uložit!\nAVI ").size());
    ExpectBackOnSettings(w, w.m_dlg.m_pageAnimSettings, 2);
    EXPECT_EQ(E2e::ReadAll(File("film.avi")), QByteArray(kOld));
    EXPECT_THAT(E2e::Names(m_dir.path()), ElementsAre("film.avi"));
}

TEST_F(WizardFaults, CancelledCompressorChoiceGoesBackQuietly)
{
    E2e::MakeFile(m_dir.filePath("film.avi"), kOld);
    CFixedCompressionChooser::Options cancel;
    cancel.bCancel = true;
    WizardHarness w(cancel);
    w.ChooseSources(m_strFirst, m_strSecond, 0);
    w.ChooseOutput(File("film.avi"));
    w.Next();

    EXPECT_EQ(w.m_compression.m_nCalls, 1);
    EXPECT_THAT(w.Messages(), IsEmpty());
    ExpectBackOnSettings(w, w.m_dlg.m_pageAnimSettings, 2);
    EXPECT_EQ(E2e::ReadAll(File("film.avi")), QByteArray(kOld));
    EXPECT_THAT(E2e::Names(m_dir.path()), ElementsAre("film.avi"));
}

// Sizes no canvas can have: sides that round down to 0 (custom, or the
// automatic mean of two tiny pictures), negative sides and sizes beyond the
// 32-bit arithmetic. The wizard and the batch tool refuse them before
// anything is allocated, asked or written.
struct ImpossibleSize {
    const char* pszName;
    int nMode;            // 0 animation, 1 still
    const char* pszWidth; // nullptr: the automatic size of two 3 × 3 pictures
    const char* pszHeight;
};
constexpr std::array kImpossibleSizes = {
    ImpossibleSize{"StillNegativeWidth", 1, "-8", "100"},
    ImpossibleSize{"StillHeightBelowFour", 1, "100", "2"},
    ImpossibleSize{"StillAutomaticBelowFour", 1, nullptr, nullptr},
    ImpossibleSize{"AnimationWidthBelowFour", 0, "3", "100"},
    ImpossibleSize{"AnimationFarTooLarge", 0, "1000000", "1000000"},
    ImpossibleSize{"AnimationAutomaticBelowFour", 0, nullptr, nullptr},
};

class WizardImpossibleSize : public WizardFaults, public ::testing::WithParamInterface<ImpossibleSize> {};

TEST_P(WizardImpossibleSize, IsRefusedBeforeAnythingIsMade)
{
    const ImpossibleSize& c = GetParam();
    std::string strFirst = m_strFirst;
    std::string strSecond = m_strSecond;
    QStringList size;
    if (c.pszWidth) {
        size = {"--size", QStringLiteral("%1x%2").arg(c.pszWidth, c.pszHeight)};
    } else {
        strFirst = E2e::MakePicture(m_sources.filePath("tiny1.bmp"), 3, 3, 1);
        strSecond = E2e::MakePicture(m_sources.filePath("tiny2.bmp"), 3, 3, 2);
    }
    const CDialog* pSettings = nullptr;
    {
        WizardHarness w;
        w.ChooseSources(strFirst, strSecond, c.nMode);
        pSettings = c.nMode == 0 ? static_cast<const CDialog*>(&w.m_dlg.m_pageAnimSettings)
                                 : static_cast<const CDialog*>(&w.m_dlg.m_pageStillSettings);
        w.ChooseOutput(File(c.nMode == 0 ? "film.avi" : "mix.bmp"));
        if (c.pszWidth) {
            WizardHarness::Click(*pSettings, IDC_RADIO_SECOND);
            WizardHarness::Type(*pSettings, IDC_WIDTH, c.pszWidth);
            WizardHarness::Type(*pSettings, IDC_HEIGHT, c.pszHeight);
        }
        w.Next();
        ASSERT_EQ(w.m_boxes.m_shown.size(), 1u);
        EXPECT_EQ(w.m_boxes.m_shown[0].strText, "Zadaná velikost je příliš velká nebo neplatná!");
        EXPECT_EQ(w.m_boxes.m_shown[0].strCaption, "Chyba");
        EXPECT_EQ(w.m_boxes.m_shown[0].nType, MB_ICONEXCLAMATION);
        EXPECT_EQ(w.m_compression.m_nCalls, 0);
        ExpectBackOnSettings(w, *pSettings, c.nMode == 0 ? 2 : 10);
    }
    QByteArray err;
    EXPECT_EQ(E2e::RunCli(QStringList{c.nMode == 0 ? "anim" : "still", QString::fromStdString(strFirst),
                                      QString::fromStdString(strSecond), m_dir.filePath("cli")} +
                              size,
                          &err),
              1);
    EXPECT_EQ(err.count('\n'), 1) << err.constData();
    EXPECT_THAT(E2e::Names(m_dir.path()), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, WizardImpossibleSize, ::testing::ValuesIn(kImpossibleSizes),
                         [](const auto& info) { return std::string(info.param.pszName); });

// An output that is one of its sources, named in different ways. The
// animation is checked under the name the writer will use: "first.bmp"
// becomes "first.bmp.avi", a new file, while "x.avi.bmp" stays as it is.
enum class Naming { SamePath, SymbolicLink, HardLink };
struct SourceAsOutput {
    const char* pszName;
    const char* pszSource; // the first picture, in the sources folder
    Naming naming;
    bool bAnimationRefused;
};
constexpr std::array kSourcesAsOutput = {
    SourceAsOutput{"SamePath", "first.bmp", Naming::SamePath, false},
    SourceAsOutput{"SymbolicLink", "first.bmp", Naming::SymbolicLink, true},
    SourceAsOutput{"HardLink", "first.bmp", Naming::HardLink, true},
    SourceAsOutput{"AviInTheName", "x.avi.bmp", Naming::SamePath, true},
};

class WizardSourceAsOutput : public WizardFaults, public ::testing::WithParamInterface<SourceAsOutput> {};

TEST_P(WizardSourceAsOutput, IsRefusedOnBothRoadsAndInTheBatchToolAndTheSourcesStay)
{
    const SourceAsOutput& c = GetParam();
    const std::string strFirst = E2e::MakePicture(m_sources.filePath(c.pszSource), 20, 12, 1);
    std::string strOutput = strFirst;
    if (c.naming == Naming::SymbolicLink) {
        strOutput = File("link.avi");
        std::filesystem::create_symlink(strFirst, strOutput);
    } else if (c.naming == Naming::HardLink) {
        strOutput = File("hard.avi");
        std::filesystem::create_hard_link(strFirst, strOutput);
    }
    const QByteArray first = E2e::ReadAll(strFirst);
    const QByteArray second = E2e::ReadAll(m_strSecond);
    const QStringList outputsBefore = E2e::Names(m_dir.path());
    const std::string kRefusal = "Výstupní soubor nesmí být jedním ze zdrojových obrázků!";

    for (const int nMode : {0, 1}) {
        const bool bRefused = nMode == 1 || c.bAnimationRefused;
        WizardHarness w;
        w.ChooseSources(strFirst, m_strSecond, nMode);
        w.ChooseOutput(strOutput);
        WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "2");
        w.Next();
        if (!bRefused) {
            EXPECT_EQ(w.m_dlg.m_nPage, 3);
            continue;
        }
        ASSERT_EQ(w.m_boxes.m_shown.size(), 1u) << nMode;
        EXPECT_EQ(w.m_boxes.m_shown[0].strText, kRefusal);
        EXPECT_EQ(w.m_boxes.m_shown[0].strCaption, "Chyba");
        EXPECT_EQ(w.m_boxes.m_shown[0].nType, MB_ICONEXCLAMATION);
        EXPECT_EQ(w.m_compression.m_nCalls, 0);
        ExpectBackOnSettings(w, nMode == 0 ? static_cast<const CDialog&>(w.m_dlg.m_pageAnimSettings)
                                           : static_cast<const CDialog&>(w.m_dlg.m_pageStillSettings),
                             nMode == 0 ? 2 : 10);
    }
    for (const char* pszCommand : {"anim", "still"}) {
        const bool bRefused = pszCommand[0] == 's' || c.bAnimationRefused;
        QByteArray err;
        EXPECT_EQ(E2e::RunCli({pszCommand, QString::fromStdString(strFirst), QString::fromStdString(m_strSecond),
                               QString::fromStdString(strOutput), "--quiet"},
                              &err),
                  bRefused ? 1 : 0)
            << pszCommand;
        if (bRefused) {
            EXPECT_EQ(err, QByteArray("plavex-cli ") + pszCommand + ": '" + strOutput.c_str() +
                               "' is one of the source pictures; choose another output file\n");
        }
    }

    EXPECT_EQ(E2e::ReadAll(strFirst), first);
    EXPECT_EQ(E2e::ReadAll(m_strSecond), second);
    EXPECT_EQ(E2e::Names(m_dir.path()), outputsBefore);
    QStringList sources = {"first.bmp", "second.bmp", c.pszSource};
    if (!c.bAnimationRefused)
        sources << QString(c.pszSource) + ".avi"; // what the wizard and the batch tool made
    sources.removeDuplicates();
    EXPECT_THAT(E2e::Names(m_sources.path()), UnorderedElementsAreArray(sources));
}

INSTANTIATE_TEST_SUITE_P(Namings, WizardSourceAsOutput, ::testing::ValuesIn(kSourcesAsOutput),
                         [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(WizardFaults, FinishOpensTheFileTheWriterNamed)
{
    WizardHarness w;
    w.ChooseSources(m_strFirst, m_strSecond, 0);
    w.ChooseOutput(File("film")); // no "avi" in the name: the writer adds ".avi"
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "2");
    w.Next();
    ASSERT_EQ(w.m_dlg.m_nPage, 3);
    EXPECT_THAT(E2e::Names(m_dir.path()), ElementsAre("film.avi"));

    WizardHarness::Click(w.m_dlg.m_pageAnimDone, IDC_OPEN_RESULT);
    w.Next();
    EXPECT_THAT(w.m_shell.m_opened, ElementsAre(File("film.avi")));
    EXPECT_EQ(w.m_dlg.GetEndResult(), IDOK);
}

TEST_F(WizardFaults, EndingTheProgramDuringARenderDropsItsOutput)
{
    E2e::MakeFile(m_dir.filePath("film.avi"), kOld);
    for (const bool bByEscape : {false, true}) {
        WizardHarness w;
        w.ChooseSources(m_strFirst, m_strSecond, 0);
        w.ChooseOutput(File("film.avi"));
        WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "50");

        bool bSeenRendering = false;
        int nRowsAfterYes = -1;
        QTimer::singleShot(0, [&] {
            bSeenRendering = w.m_dlg.IsRendering() && w.OnlyShown(w.m_dlg.m_pageAnimProgress) &&
                             !w.Enabled(IDC_NEXT) && !w.Enabled(IDC_PREV) && !w.Enabled(IDCANCEL);
            // A second "Další" reaching the frame now starts nothing.
            w.m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(WORD(IDC_NEXT), BN_CLICKED), 0);
            w.m_boxes.m_answers = {IDYES};
            if (bByEscape) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(w.m_dlg.GetWidget(), &escape);
            } else {
                w.m_dlg.GetWidget()->close();
            }
            // Count the drains the render still makes once the answer is given.
            nRowsAfterYes = 0;
            QTimer::singleShot(0, [&] { ++nRowsAfterYes; });
        });
        w.Next();

        EXPECT_TRUE(bSeenRendering);
        EXPECT_THAT(w.Messages(), ElementsAre("Opravdu chcete ukončit program?"));
        EXPECT_EQ(w.m_compression.m_nCalls, 1);
        EXPECT_EQ(w.m_dlg.GetEndResult(), IDCANCEL);
        EXPECT_EQ(nRowsAfterYes, 0);
        EXPECT_FALSE(w.m_dlg.IsRendering());
        EXPECT_EQ(E2e::ReadAll(File("film.avi")), QByteArray(kOld));
        EXPECT_THAT(E2e::Names(m_dir.path()), ElementsAre("film.avi"));
    }
}

TEST_F(WizardFaults, AnsweringNoDuringARenderLetsItFinish)
{
    WizardHarness w;
    w.ChooseSources(m_strFirst, m_strSecond, 1);
    w.ChooseOutput(File("mix.bmp"));
    QTimer::singleShot(0, [&] { w.m_dlg.GetWidget()->close(); }); // answered "Ne"
    w.Next();

    EXPECT_THAT(w.Messages(), ElementsAre("Opravdu chcete ukončit program?"));
    EXPECT_EQ(w.m_dlg.GetEndResult(), -1);
    EXPECT_EQ(w.m_dlg.m_nPage, 11);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageStillDone));
    EXPECT_TRUE(E2e::Exists(File("mix.bmp")));
}

} // namespace
