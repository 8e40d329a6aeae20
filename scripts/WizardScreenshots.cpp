// Walks the wizard along both roads on a real display and saves a picture of
// the frame on every page, during a render and on both completion pages, of
// the message boxes and of the Czech file choosers, so that a person can
// check that nothing is clipped or overlapping.
//
//   xvfb-run -s "-screen 0 1280x1024x24" wizard_screenshots OUTPUT_FOLDER [WORK_FOLDER]
//
// The pictures and outputs are made in WORK_FOLDER/pictures (emptied first)
// or in a temporary folder. Two runs with the same WORK_FOLDER give the same pictures
// pixel for pixel, since the paths shown are the same and the files the
// choosers list carry one fixed time.

#include <cstdio>
#include <functional>
#include <optional>

// Qt
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QWindow>
#include <QTimer>

// Local
#include "app/QtTranslations.h"
#include "pages/CCompressionDialog.h"
#include "video/VideoContainer.h"
#include "tests/app/WizardHarness.h"
#include "tests/support/TestKit.h"

namespace {

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Lets the queue run until the pictures loaded in the background are shown,
// and then a little longer unless told to stop at once.
void SettleUntil(const std::function<bool()>& ready, bool bSettle = true)
{
    QElapsedTimer clock;
    clock.start();
    while (!ready() && clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (bSettle)
        Settle();
}

// Gives every file in the folder one fixed modification time, so that the
// choosers' date column does not change from run to run.
void FixFileTimes(const QString& strFolder)
{
    const QDateTime fixed(QDate(2024, 1, 1), QTime(12, 0), QTimeZone::utc());
    for (const QFileInfo& entry : QDir(strFolder).entryInfoList(QDir::Files)) {
        QFile file(entry.filePath());
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(fixed, QFileDevice::FileModificationTime);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    InstallQtTranslations("cs");
    // The choosers' folders are remembered in a folder of the run's own.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    if (argc < 2) {
        std::fprintf(stderr, "usage: wizard_screenshots OUTPUT_FOLDER [WORK_FOLDER]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    std::optional<QTemporaryDir> temporary;
    QDir work;
    if (argc > 2) {
        work.setPath(QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("pictures")));
        work.removeRecursively();
        QDir().mkpath(work.path());
    } else {
        temporary.emplace();
        work.setPath(temporary->path());
    }
    const std::string strFirst = SavePicture(work.filePath("prvni.bmp").toStdString(), 640, 480, 1);
    const std::string strSecond = SavePicture(work.filePath("druhy.jpg").toStdString(), 800, 600, 2);

    WizardHarness w;
    QWidget* pFrame = &w.m_dlg;
    pFrame->move(40, 40);
    int nShot = 0;
    const auto shootWidget = [&](QWidget* pWidget, const char* pszName) {
        Settle();
        const QString strPath = out.filePath(QString::asprintf("%02d-%s.png", ++nShot, pszName));
        pWidget->grab().save(strPath);
        std::printf("%s\n", qPrintable(strPath));
    };
    const auto shoot = [&](const char* pszName) { shootWidget(pFrame, pszName); };
    // The preview beside the frame, as the screen shows both, and the preview alone.
    CPreviewWnd& preview = w.m_dlg.m_wndPreview;
    const auto shootPreview = [&](const CTemplatePage& page, const char* pszScreen, const char* pszWindow) {
        WizardHarness::Click(page, IDC_PREVIEW);
        // The screen is taken only once the server shows the window.
        SettleUntil([&] {
            const QWindow* pWindow = preview.GetWidget() ? preview.GetWidget()->windowHandle() : nullptr;
            return !preview.GetPicture().isNull() && pWindow && pWindow->isExposed();
        });
        const QString strPath = out.filePath(QString::asprintf("%02d-%s.png", ++nShot, pszScreen));
        pFrame->screen()->grabWindow(0).save(strPath);
        std::printf("%s\n", qPrintable(strPath));
        // The dissolve plays on; it is taken on one fixed frame, so that two
        // runs give the same picture.
        const auto framesLabel = [&]() -> QLabel* {
            for (QLabel* pLabel : preview.GetWidget()->findChildren<QLabel*>())
                if (pLabel->isVisible() && pLabel->text().startsWith(QStringLiteral("Snímek ")))
                    return pLabel;
            return nullptr;
        };
        if (framesLabel()) {
            Settle();
            SettleUntil([&] { return framesLabel()->text() == QStringLiteral("Snímek 50/100"); }, false);
            const QString strWindow = out.filePath(QString::asprintf("%02d-%s.png", ++nShot, pszWindow));
            preview.GetWidget()->grab().save(strWindow);
            std::printf("%s\n", qPrintable(strWindow));
        } else {
            shootWidget(preview.GetWidget(), pszWindow);
        }
    };

    shoot("welcome");
    w.Next();
    w.m_files.answers = {QString::fromStdString(strFirst), QString::fromStdString(strSecond)};
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE);
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE_SECOND);
    SettleUntil([&] {
        return WizardHarness::Text(w.m_dlg.m_pageSource, IDC_FIRST_REASON).empty() &&
               WizardHarness::Text(w.m_dlg.m_pageSource, IDC_SECOND_REASON).empty();
    });
    shoot("source-thumbs");
    // A file that is no picture shows why instead of a thumbnail.
    const std::string strBad = work.filePath("poznamky.jpg").toStdString();
    WriteFile(strBad, "není to obrázek");
    w.m_files.answers = {QString::fromStdString(strBad)};
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE_SECOND);
    SettleUntil([&] { return WizardHarness::Text(w.m_dlg.m_pageSource, IDC_SECOND_REASON) != "Načítám obrázek…"; });
    shoot("source-thumb-refused");
    w.m_files.answers = {QString::fromStdString(strSecond)};
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE_SECOND);
    w.Next();
    w.ChooseOutput(work.filePath("animace.avi").toStdString());
    shoot("anim-settings");
    shootPreview(w.m_dlg.m_pageAnimSettings, "anim-settings-preview-screen", "anim-preview");
    WizardHarness::Click(w.m_dlg.m_pageAnimSettings, IDC_RADIO_SECOND);
    shoot("anim-settings-custom");
    WizardHarness::Click(w.m_dlg.m_pageAnimSettings, IDC_RADIO_FIRST);

    // Pictures of the render while it runs, taken from inside its queue drains.
    bool bShotDuringRender = false;
    QTimer sampler;
    sampler.setInterval(0);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (!bShotDuringRender && WizardHarness::Text(w.m_dlg.m_pageAnimProgress, IDC_FRAME_LABEL) == "40/100") {
            bShotDuringRender = true;
            shoot("anim-progress");
        }
    });
    sampler.start();
    w.Next();
    sampler.stop();
    shoot("anim-done");

    WizardHarness::Click(w.m_dlg.m_pageAnimDone, IDC_START_AGAIN);
    w.Next();
    w.ChooseSources(strFirst, strSecond, 1);
    w.ChooseOutput(work.filePath("obrazek.bmp").toStdString());
    w.m_dlg.m_pageStillSettings.m_ctlRatio->setValue(30);
    shoot("still-settings");
    shootPreview(w.m_dlg.m_pageStillSettings, "still-settings-preview-screen", "still-preview");
    WizardHarness::Click(w.m_dlg.m_pageStillSettings, IDC_RADIO_SECOND);
    WizardHarness::Type(w.m_dlg.m_pageStillSettings, IDC_WIDTH, "2");
    shootWidget(preview.GetWidget(), "still-preview-refused");
    // A tall output: the window takes its shape.
    WizardHarness::Type(w.m_dlg.m_pageStillSettings, IDC_WIDTH, "300");
    WizardHarness::Type(w.m_dlg.m_pageStillSettings, IDC_HEIGHT, "600");
    shootWidget(preview.GetWidget(), "still-preview-tall");
    WizardHarness::Type(w.m_dlg.m_pageStillSettings, IDC_WIDTH, "100");
    WizardHarness::Type(w.m_dlg.m_pageStillSettings, IDC_HEIGHT, "100");
    WizardHarness::Click(w.m_dlg.m_pageStillSettings, IDC_RADIO_FIRST);

    bShotDuringRender = false;
    QObject::disconnect(&sampler, nullptr, nullptr, nullptr);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (!bShotDuringRender && WizardHarness::Text(w.m_dlg.m_pageStillProgress, IDC_PERCENT_LABEL) == "40%") {
            bShotDuringRender = true;
            shoot("still-progress");
        }
    });
    sampler.start();
    w.Next();
    sampler.stop();
    shoot("still-done");

    const bool bClean = w.m_boxes.shown.empty();
    for (const std::string& strShown : w.m_boxes.shown)
        std::printf("message: %s\n", strShown.c_str());

    // The real message boxes: each is photographed, then answered "Ne" or "OK".
    IMessageBox::Install(nullptr);
    // Waits for the box, which may come up only once pictures have loaded.
    std::function<void(const char*)> shootBox = [&](const char* pszName) {
        QTimer::singleShot(300, [&, pszName] {
            QWidget* pBox = QApplication::activeModalWidget();
            if (!pBox || pBox == pFrame) {
                shootBox(pszName);
                return;
            }
            const QString strPath = out.filePath(QString::asprintf("%02d-%s.png", ++nShot, pszName));
            pBox->grab().save(strPath);
            std::printf("%s\n", qPrintable(strPath));
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(pBox, &escape);
        });
    };
    WizardHarness::Click(w.m_dlg.m_pageStillDone, IDC_START_AGAIN);
    w.Next();
    w.ChooseSources(strFirst, strSecond, 0);
    w.ChooseOutput(work.filePath("chybi/animace.avi").toStdString());
    shootBox("box-anim-not-saved");
    w.Next();

    // A source picture named as the output.
    w.Prev();
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_RADIO_SECOND);
    w.Next();
    w.ChooseOutput(strFirst);
    shootBox("box-output-is-source");
    w.Next();

    // A damaged picture with a long name: the box names it and says why.
    w.Prev();
    w.Prev();
    // It is refused on the source page, whose thumbnail has told it already.
    const std::string strBroken =
        work.filePath(QStringLiteral("dovolená v Beskydech se vším všudy, den třetí, ráno u chaty.heic")).toStdString();
    WriteFile(strBroken, std::string("\0\0\0\x18" "ftypheic\0\0\0\0mif1heic", 24));
    shootBox("box-picture-not-loaded");
    w.ChooseSources(strFirst, strBroken, 0);
    w.m_files.answers = {QString::fromStdString(strSecond)};
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE_SECOND);
    w.Next();
    w.ChooseOutput(work.filePath("animace.avi").toStdString());

    // The real choosers: the save chooser on an existing file asks before
    // replacing it ("Ne"), then both choosers are closed.
    IFileChooser::Install(nullptr);
    FixFileTimes(work.path());
    const auto shootChooser = [&](const char* pszName, const QString& strExisting) {
        QTimer::singleShot(300, [&, pszName, strExisting] {
            auto* pChooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!pChooser)
                return;
            pChooser->setDirectory(work.path());
            Settle();
            const QString strPath = out.filePath(QString::asprintf("%02d-%s.png", ++nShot, pszName));
            pChooser->grab().save(strPath);
            std::printf("%s\n", qPrintable(strPath));
            if (!strExisting.isEmpty()) {
                // Typed, as selecting an existing file waits for the folder
                // to be read. The question comes up inside accept().
                pChooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(strExisting);
                shootBox("box-overwrite");
                static_cast<QDialog*>(pChooser)->accept();
            }
            pChooser->reject();
        });
    };
    shootChooser("save-chooser", QStringLiteral("animace.avi"));
    WizardHarness::Click(w.m_dlg.m_pageAnimSettings, IDC_BROWSE);
    w.Prev();
    shootChooser("open-chooser", QString());
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE);
    shootBox("box-quit");
    WizardHarness::Click(w.m_dlg, IDCANCEL);

    // The compression dialog for an AVI name, its list open so that every
    // compressor shows, with FFV1, the last, chosen; then for an MP4 name.
    CCompressionDialog compression(CodecsOf(VideoContainer::Avi), pFrame);
    compression.show();
    compression.m_pCompressor->setCurrentIndex(compression.m_pCompressor->count() - 1);
    Settle();
    compression.grab().save(out.filePath(QString::asprintf("%02d-compression.png", ++nShot)));
    compression.m_pCompressor->showPopup();
    Settle();
    if (QWidget* pList = compression.m_pCompressor->view()->window())
        pList->grab().save(out.filePath(QString::asprintf("%02d-compression-list.png", ++nShot)));
    compression.m_pCompressor->hidePopup();
    CCompressionDialog compressionMp4(CodecsOf(VideoContainer::Mp4), pFrame);
    compressionMp4.show();
    Settle();
    compressionMp4.grab().save(out.filePath(QString::asprintf("%02d-compression-mp4.png", ++nShot)));

    // The still's save chooser with its list of formats open; then a name in
    // a format that is not written, refused on "Další".
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_RADIO_SECOND);
    w.Next();
    QTimer::singleShot(300, [&] {
        auto* pChooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!pChooser)
            return;
        pChooser->setDirectory(work.path());
        auto* pFormats = pChooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        pFormats->showPopup();
        Settle();
        pFormats->view()->window()->grab().save(out.filePath(QString::asprintf("%02d-still-formats.png", ++nShot)));
        pFormats->hidePopup();
        pChooser->reject();
    });
    WizardHarness::Click(w.m_dlg.m_pageStillSettings, IDC_BROWSE);
    w.m_dlg.m_pageStillSettings.m_strOutputPath = work.filePath(QStringLiteral("pohlednice.heic"));
    w.m_dlg.m_pageStillSettings.UpdateData(false);
    shootBox("box-still-format-refused");
    w.Next();
    return bClean ? 0 : 1;
}
