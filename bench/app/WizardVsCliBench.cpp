// Times a 100-frame 720 × 540 animation made by the wizard's render against
// the same animation made by plavex-cli anim in the same process, both with
// one worker per core. The only work the wizard adds is draining the event
// queue while it waits and updating the progress page after every frame.
// The last line is "ratio=<value>": the larger of the two codecs' ratios of
// median times.
//
//   build/bench/app/bench_wizard_vs_cli [runs]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

// Qt
#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

// Local
#include "app/CWizardDlg.h"
#include "app/CWizardRender.h"
#include "cli/CliCommandLine.h"
#include "engine/Blend.h"

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

double TimeWizard(const std::string& strFirst, const std::string& strSecond, const std::string& strOut,
                  const char* pszCodec)
{
    // The render as the frame drives it: the progress page after every
    // frame, the queue drained while it waits.
    CWizardDlg dlg;
    dlg.show();
    dlg.m_pageAnimProgress.show();
    CWizardRender render;
    render.m_onProgress = [&](std::int32_t nDone, std::int32_t nTotal) { dlg.m_pageAnimProgress.ShowProgress(nDone, nTotal); };
    render.m_keepGoing = [] {
        QApplication::processEvents();
        return true;
    };
    render.m_chooseCompression = [pszCodec](const std::vector<const VideoCodec*>&) {
        return std::optional<CompressionChoice>({FindVideoCodec(pszCodec), kDefaultVideoQuality});
    };
    CWizardRender::AnimationJob job;
    job.m_strFirst = strFirst;
    job.m_strSecond = strSecond;
    job.m_strOutput = strOut;
    job.m_nFrameCount = 100;
    job.m_nFps = 25;

    const auto start = Clock::now();
    const auto written = render.RenderAnimation(job);
    const double dSeconds = Seconds(start);
    if (!written) {
        std::fprintf(stderr, "the wizard's render failed: %s\n", written.Error().m_strMessage.c_str());
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
    const int nRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir dir;
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

    // What the wizard adds per frame: the progress page's update and one
    // drain, which repaints the page.
    {
        CWizardDlg dlg;
        dlg.show();
        dlg.m_pageAnimProgress.show();
        const auto start = Clock::now();
        for (int k = 1; k <= 100; ++k) {
            dlg.m_pageAnimProgress.ShowProgress(k, 100);
            QApplication::processEvents();
        }
        std::printf("progress update and drain: 100 frames in %.3f s\n", Seconds(start));
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
    for (const char* pszCodec : {"raw", "mjpeg"}) {
        std::vector<double> wizard, cli;
        const std::string strCliOut = dir.filePath("cli.avi").toStdString();
        const std::string strWizardOut = dir.filePath("wizard.avi").toStdString();
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
        std::printf("%-5s 100 frames 720x540: wizard %.3f s, plavex-cli anim %.3f s, ratio %.3f (target <= 1.15), "
                    "median of %d; fastest %.3f s and %.3f s, ratio %.3f\n",
                    pszCodec, dWizard, dCli, dWizard / dCli, nRuns, *std::min_element(wizard.begin(), wizard.end()),
                    *std::min_element(cli.begin(), cli.end()),
                    *std::min_element(wizard.begin(), wizard.end()) / *std::min_element(cli.begin(), cli.end()));
        dWorstRatio = std::max(dWorstRatio, dWizard / dCli);
    }
    std::printf("ratio=%.3f\n", dWorstRatio);
    return 0;
}
