// Times a 100-frame 720 × 540 animation made by the wizard against the same
// animation made by plavex-cli anim in the same process, both with one worker
// per core. The wizard is driven as a user drives it: the pictures chosen
// (their thumbnails loaded), the output named, "Další" pressed; what it adds
// is draining the event queue while it waits and showing its progress page.
// The last line is "ratio=<value>": the largest of the codecs' ratios of
// median times.
//
//   build/bench/app/bench_wizard_vs_cli [runs] [codec...] [--out DIR]
//
// Codecs as plavex-cli names them (default: raw mjpeg). The files go to a
// temporary folder, or to DIR (say /dev/shm, to leave the disk's write-back
// out of both times); the two files of each codec must be the same.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

// Qt
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

// Local
#include "app/CWizardDlg.h"
#include "app/CWizardRender.h"
#include "cli/CliCommandLine.h"
#include "engine/Blend.h"
#include "platform/ui/IMessageBox.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string MakePicture(const QString& strPath, int nWidth, int nHeight, int nSeed)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.setPixel(x, y, qRgb((x + nSeed * 40) % 256, (y * 3 + nSeed) % 256, (x + y) % 256));
    image.save(strPath);
    return strPath.toStdString();
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The compressor chosen without the dialog.
struct FixedChooser : ICompressionChooser {
    explicit FixedChooser(const char* pszCodec) : m_pszCodec(pszCodec) {}
    std::optional<CompressionChoice> Choose(QWidget*, const std::vector<const VideoCodec*>&) override
    {
        return CompressionChoice{FindVideoCodec(m_pszCodec), kDefaultVideoQuality};
    }
    const char* m_pszCodec;
};

// A message box would wait for a user: the run fails instead.
struct FailingMessageBox : IMessageBox {
    QMessageBox::StandardButton Show(QWidget*, const QString& strText, const QString&, QMessageBox::Icon,
                                     QMessageBox::StandardButtons) override
    {
        std::fprintf(stderr, "the wizard says: %s\n", qPrintable(strText));
        std::exit(1);
    }
};

void Type(const CTemplatePage& page, int nID, const std::string& strText)
{
    static_cast<QLineEdit*>(page.Item(nID))->setText(QString::fromStdString(strText));
}

double TimeWizard(const std::string& strFirst, const std::string& strSecond, const std::string& strOut,
                  const char* pszCodec)
{
    FixedChooser chooser(pszCodec);
    CWizardDlg dlg;
    dlg.m_pCompressionChooser = &chooser;
    dlg.show();
    dlg.OnNext();
    Type(dlg.m_pageSource, IDC_PATH, strFirst);
    Type(dlg.m_pageSource, IDC_SECOND_PATH, strSecond);
    // The user sees both thumbnails before going on.
    const auto loading = [&dlg] {
        return !static_cast<QLabel*>(dlg.m_pageSource.Item(IDC_FIRST_REASON))->text().isEmpty() ||
               !static_cast<QLabel*>(dlg.m_pageSource.Item(IDC_SECOND_REASON))->text().isEmpty();
    };
    while (loading())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    dlg.OnNext();
    Type(dlg.m_pageAnimSettings, IDC_PATH, strOut);
    // The screen is still when the user presses "Další".
    QApplication::processEvents();

    const auto start = Clock::now();
    dlg.OnNext();
    const double dSeconds = Seconds(start);
    if (dlg.m_nPage != CWizardDlg::Page::AnimDone) {
        std::fprintf(stderr, "the wizard did not finish the animation\n");
        std::exit(1);
    }
    return dSeconds;
}

double TimeCli(const std::string& strFirst, const std::string& strSecond, const std::string& strOut,
               const char* pszCodec)
{
    std::ostringstream out, err;
    const auto start = Clock::now();
    const int nCode = RunCommandLine(
        {"anim", strFirst, strSecond, strOut, "--frames", "100", "--fps", "25", "--codec", pszCodec}, out, err);
    const double dSeconds = Seconds(start);
    if (nCode != 0) {
        std::fprintf(stderr, "plavex-cli anim failed: %s\n", err.str().c_str());
        std::exit(1);
    }
    return dSeconds;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int nRuns = 5;
    std::vector<std::string> codecs;
    QTemporaryDir dir;
    QString strOutDir = dir.path();
    for (int i = 1; i < argc; ++i) {
        const std::string strArg = argv[i];
        if (strArg == "--out" && i + 1 < argc)
            strOutDir = QString::fromLocal8Bit(argv[++i]);
        else if (FindVideoCodec(strArg))
            codecs.push_back(strArg);
        else
            nRuns = std::max(1, std::atoi(argv[i]));
    }
    if (codecs.empty())
        codecs = {"raw", "mjpeg"};
    IMessageBox::Install(new FailingMessageBox);

    // 640 × 480 and 800 × 600 give the automatic canvas 720 × 540.
    const std::string strFirst = MakePicture(dir.filePath("first.bmp"), 640, 480, 1);
    const std::string strSecond = MakePicture(dir.filePath("second.bmp"), 800, 600, 2);

    // The bare cost of one drain of an empty queue, as paid once per row.
    constexpr int kDrains = 54000;
    const auto drainStart = Clock::now();
    for (int i = 0; i < kDrains; ++i)
        QApplication::processEvents();
    const double dDrains = Seconds(drainStart);
    std::printf("queue drain: %d drains (100 frames x 540 rows) in %.3f s, %.2f us each\n", kDrains, dDrains,
                dDrains / kDrains * 1e6);

    // What the wizard adds per frame: the progress page's values and one
    // drain, with the page painted at every report and with it held.
    for (const bool bHeld : {false, true}) {
        CWizardDlg dlg;
        dlg.show();
        dlg.m_pageAnimProgress.show();
        QApplication::processEvents();
        dlg.m_pageAnimProgress.HoldPainting(bHeld);
        const auto start = Clock::now();
        for (int k = 1; k <= 100; ++k) {
            dlg.m_pageAnimProgress.ShowProgress(k, 100);
            QApplication::processEvents();
        }
        dlg.m_pageAnimProgress.HoldPainting(false);
        std::printf("progress and drain, page %s: 100 frames in %.4f s\n", bHeld ? "held" : "painted at every report",
                    Seconds(start));
    }

    // The blend loop of one animation alone, and with the drain after every row.
    {
        Canvas canvas = ComputeCanvas(kSizeModeAutomatic, 0, 0, 720, 540, 720, 540).Value();
        PixelBuffer first = PixelBuffer::Allocate(canvas).Value();
        PixelBuffer second = PixelBuffer::Allocate(canvas).Value();
        PixelBuffer out = PixelBuffer::Allocate(canvas).Value();
        for (const bool bDrain : {false, true, false, true}) {
            const auto start = Clock::now();
            for (int k = 0; k < 100; ++k)
                for (int r = 0; r < canvas.Height(); ++r) {
                    BlendRow(first, second, out, canvas, r, k * 0.01);
                    if (bDrain)
                        QApplication::processEvents();
                }
            std::printf("blend of 100 frames%s: %.3f s\n", bDrain ? " with a drain after every row" : "",
                        Seconds(start));
        }
    }

    double dWorstRatio = 0.0;
    for (const std::string& strCodec : codecs) {
        const char* pszCodec = strCodec.c_str();
        std::vector<double> wizard, cli;
        const std::string strCliOut = (strOutDir + "/cli.avi").toStdString();
        const std::string strWizardOut = (strOutDir + "/wizard.avi").toStdString();
        for (int i = 0; i < nRuns; ++i) {
            // Each run writes a new file, and the two take turns going first.
            std::remove(strCliOut.c_str());
            std::remove(strWizardOut.c_str());
            if (i % 2 == 0) {
                cli.push_back(TimeCli(strFirst, strSecond, strCliOut, pszCodec));
                wizard.push_back(TimeWizard(strFirst, strSecond, strWizardOut, pszCodec));
            } else {
                wizard.push_back(TimeWizard(strFirst, strSecond, strWizardOut, pszCodec));
                cli.push_back(TimeCli(strFirst, strSecond, strCliOut, pszCodec));
            }
        }
        const double dWizard = Median(wizard);
        const double dCli = Median(cli);
        std::printf("%-5s 100 frames 720x540: wizard %.3f s, plavex-cli anim %.3f s, ratio %.3f (target <= 1.10), "
                    "median of %d; fastest %.3f s and %.3f s, ratio %.3f\n",
                    pszCodec, dWizard, dCli, dWizard / dCli, nRuns, *std::min_element(wizard.begin(), wizard.end()),
                    *std::min_element(cli.begin(), cli.end()),
                    *std::min_element(wizard.begin(), wizard.end()) / *std::min_element(cli.begin(), cli.end()));
        dWorstRatio = std::max(dWorstRatio, dWizard / dCli);
        // The two make one file: a codec whose bytes followed the threads or
        // the front end would show here.
        QFile wizardFile(QString::fromStdString(strWizardOut)), cliFile(QString::fromStdString(strCliOut));
        const bool bSame = wizardFile.open(QIODevice::ReadOnly) && cliFile.open(QIODevice::ReadOnly) &&
                           wizardFile.readAll() == cliFile.readAll();
        std::printf("%-5s the wizard's file and plavex-cli's are %s\n", pszCodec, bSame ? "the same" : "DIFFERENT");
        std::remove(strCliOut.c_str());
        std::remove(strWizardOut.c_str());
    }
    std::printf("ratio=%.3f\n", dWorstRatio);
    return 0;
}
