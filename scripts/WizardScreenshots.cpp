// Walks the wizard along both roads on a real display and saves a picture of
// the frame on every page, during a render and on both completion pages, so
// that a person can check that nothing is clipped or overlapping.
//
//   xvfb-run -s "-screen 0 1280x1024x24" wizard_screenshots OUTPUT_FOLDER

#include <cstdio>
#include <functional>

// Qt
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

// Local
#include "tests/app/WizardHarness.h"
#include "tests/support/TestKit.h"

namespace {

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: wizard_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    QTemporaryDir work;
    const std::string strFirst = SavePicture(work.filePath("prvni.bmp").toStdString(), 640, 480, 1);
    const std::string strSecond = SavePicture(work.filePath("druhy.jpg").toStdString(), 800, 600, 2);

    WizardHarness w;
    QWidget* pFrame = w.m_dlg.GetWidget();
    pFrame->move(40, 40);
    int nShot = 0;
    const auto shoot = [&](const char* pszName) {
        Settle();
        const QString strPath = out.filePath(QString::asprintf("%02d-%s.png", ++nShot, pszName));
        pFrame->grab().save(strPath);
        std::printf("%s\n", qPrintable(strPath));
    };

    shoot("welcome");
    w.Next();
    w.m_files.answers = {strFirst, strSecond};
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE);
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE_SECOND);
    shoot("source");
    w.Next();
    w.ChooseOutput(work.filePath("animace.avi").toStdString());
    shoot("anim-settings");
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
    qobject_cast<QSlider*>(WizardHarness::Control(w.m_dlg.m_pageStillSettings, IDC_RATIO_SLIDER))->setValue(30);
    shoot("still-settings");

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

    const bool bClean = w.m_boxes.calls.empty();
    for (const CRecordingMessageBox::Call& shown : w.m_boxes.calls)
        std::printf("message: %s\n", shown.text.str().c_str());

    // The real message boxes: each is photographed, then answered "Ne" or "OK".
    AfxSetMessageBoxService(nullptr);
    const auto shootBox = [&](const char* pszName) {
        QTimer::singleShot(300, [&, pszName] {
            QWidget* pBox = QApplication::activeModalWidget();
            if (!pBox)
                return;
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
    shootBox("box-quit");
    WizardHarness::Click(w.m_dlg, IDCANCEL);
    return bClean ? 0 : 1;
}
