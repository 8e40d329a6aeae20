#include "app/CWizardDlg.h"

#include <cstdint>
#include <string>
#include <utility>

// Qt
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPushButton>
#include <QSlider>

// Local
#include "engine/Blend.h"
#include "engine/BlendWeight.h"
#include "engine/BmpWriter.h"
#include "engine/FramePipeline.h"
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"
#include "engine/SameFile.h"
#include "pages/LoadFailureText.h"
#include "platform/ui/IMessageBox.h"
#include "platform/ui/IShell.h"
#include "video/CAviWriter.h"
#include "video/DissolveWriter.h"

namespace {

const QString kCaption = QStringLiteral("Plavex");
const QString kQuitQuestion = QStringLiteral("Opravdu chcete ukončit program?");
const QString kNoPictures = QStringLiteral("Musíte vybrat soubory!");
const QString kNoOutput = QStringLiteral("Musíte vybrat soubor!");
const QString kOutputIsSource = QStringLiteral("Výstupní soubor nesmí být jedním ze zdrojových obrázků!");
const QString kStillNotSaved = QStringLiteral("Soubor se nepodařilo uložit!");
const QString kAnimationNotSaved = QStringLiteral("Animaci se nepodařilo uložit!");

// A path as the file system takes it.
std::string FileName(const QString& strPath) { return QFile::encodeName(strPath).toStdString(); }

// Progress in percent, division first, each step in double and truncated.
int Percent(std::int32_t nDone, std::int32_t nTotal)
{
    const double dShare = static_cast<double>(nDone) / static_cast<double>(nTotal);
    return static_cast<int>(dShare * 100.0);
}

} // namespace

CWizardDlg::CWizardDlg(QWidget* pParent) : CTemplateDialog(IDD_WIZARD, pParent)
{
    setWindowIcon(QIcon(QString::fromUtf8(AppIconPath())));
    connect(static_cast<QPushButton*>(Item(IDC_NEXT)), &QPushButton::clicked, this, &CWizardDlg::OnNext);
    connect(static_cast<QPushButton*>(Item(IDC_PREV)), &QPushButton::clicked, this, &CWizardDlg::OnPrev);
    connect(static_cast<QPushButton*>(Item(IDCANCEL)), &QPushButton::clicked, this, &CWizardDlg::OnCancel);

    m_pageSource.SetPictureCache(&m_pictures);
    m_wndPreview.Init(this, &m_pictures);
    m_wndPreview.Follow(m_pageAnimSettings);
    m_wndPreview.Follow(m_pageStillSettings);
    SetPage(Page::Welcome);
}

CTemplatePage& CWizardDlg::PageWidget(Page page)
{
    switch (page) {
    case Page::Welcome: return m_pageWelcome;
    case Page::Source: return m_pageSource;
    case Page::AnimSettings: return m_pageAnimSettings;
    case Page::AnimProgress: return m_pageAnimProgress;
    case Page::AnimDone: return m_pageAnimDone;
    case Page::StillSettings: return m_pageStillSettings;
    case Page::StillProgress: return m_pageStillProgress;
    case Page::StillDone: break;
    }
    return m_pageStillDone;
}

CWizardDlg::Page CWizardDlg::NextPage() const
{
    switch (m_nPage) {
    case Page::Welcome: return Page::Source;
    case Page::Source: return m_pageSource.m_nMode == 0 ? Page::AnimSettings : Page::StillSettings;
    case Page::AnimSettings: return Page::AnimProgress;
    case Page::AnimProgress: return Page::AnimDone;
    case Page::StillSettings: return Page::StillProgress;
    case Page::StillProgress: return Page::StillDone;
    case Page::AnimDone:
    case Page::StillDone: break;
    }
    return Page::Welcome;
}

CWizardDlg::Page CWizardDlg::PrevPage() const
{
    switch (m_nPage) {
    case Page::Source: return Page::Welcome;
    case Page::AnimSettings:
    case Page::StillSettings: return Page::Source;
    default: return m_nPage;
    }
}

void CWizardDlg::SetPage(Page page)
{
    for (const Page other : {Page::Welcome, Page::Source, Page::AnimSettings, Page::AnimProgress, Page::AnimDone,
                             Page::StillSettings, Page::StillProgress, Page::StillDone})
        if (other != page)
            PageWidget(other).hide();
    PageWidget(page).show();
    m_nPage = page;
    m_wndPreview.Close();

    // A render runs with every button disabled; a completion page has no way back.
    const bool bRendering = IsRendering();
    const bool bDone = page == Page::AnimDone || page == Page::StillDone;
    auto* pNext = static_cast<QPushButton*>(Item(IDC_NEXT));
    pNext->setEnabled(!bRendering);
    pNext->setText(bDone ? QStringLiteral("Dokončit") : QStringLiteral("Další"));
    Item(IDC_PREV)->setEnabled(PrevPage() != page);
    Item(IDCANCEL)->setEnabled(!bRendering);
}

void CWizardDlg::OnCancel()
{
    // Once the user has said yes during a render, the render is on its way out.
    if (m_bQuitRequested)
        return;
    if (ShowMessage(this, kQuitQuestion, kCaption, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    if (IsRendering()) {
        // The render notices the next time it drains the queue, drops its
        // output, and the navigation then ends the wizard.
        m_bQuitRequested = true;
        return;
    }
    EndDialog(Rejected);
}

void CWizardDlg::OnNext()
{
    // The buttons are disabled while a render runs; this also keeps out a
    // command that reaches the frame some other way.
    if (IsRendering())
        return;
    // A page that holds data is read before the wizard leaves it.
    switch (m_nPage) {
    case Page::Source:
        m_pageSource.UpdateData(true);
        if (m_pageSource.m_strFirstPath.isEmpty() || m_pageSource.m_strSecondPath.isEmpty()) {
            ShowMessage(this, kNoPictures);
            return;
        }
        m_wndPreview.SetSources(m_pageSource.m_strFirstPath, m_pageSource.m_strSecondPath);
        break;
    case Page::AnimSettings:
    case Page::StillSettings:
        StartRender();
        return;
    case Page::AnimDone:
    case Page::StillDone:
        Finish();
        return;
    default:
        break;
    }
    SetPage(NextPage());
}

void CWizardDlg::OnPrev()
{
    if (!IsRendering())
        SetPage(PrevPage());
}

void CWizardDlg::StartRender()
{
    const bool bAnimation = m_nPage == Page::AnimSettings;
    CSettingsPage& settings = bAnimation ? static_cast<CSettingsPage&>(m_pageAnimSettings) : m_pageStillSettings;
    if (!settings.UpdateData(true))
        return;
    if (settings.m_strOutputPath.isEmpty()) {
        ShowMessage(this, kNoOutput);
        return;
    }
    m_pageSource.UpdateData(true);

    const Page settingsPage = m_nPage;
    SetPage(NextPage());
    const RenderResult result = bAnimation ? RenderAnimation() : RenderStill();
    // Nothing was written unless it is done: back to the settings, where the
    // user can change the choice or go back to the source page.
    SetPage(result == RenderResult::Done ? NextPage() : settingsPage);
    // The render has dropped its output; the program ends as the user asked.
    if (result == RenderResult::Quit)
        EndDialog(Rejected);
}

void CWizardDlg::Finish()
{
    CDonePage& done = m_nPage == Page::AnimDone ? m_pageAnimDone : m_pageStillDone;
    done.UpdateData(true);
    // The result is opened with the desktop's default application; whether
    // one could open it is not the wizard's concern.
    if (done.m_bOpenResult)
        IShell::Current().Open(m_strResultPath);
    if (!done.m_bStartAgain) {
        EndDialog(Accepted);
        return;
    }
    // The source page and the pages of the road just finished start afresh;
    // the other road keeps what the user set there, and the ratio slider
    // stays where it was.
    m_pageSource.Reset();
    if (m_nPage == Page::AnimDone) {
        m_pageAnimSettings.Reset();
        m_pageAnimProgress.Reset();
    } else {
        m_pageStillSettings.Reset();
        m_pageStillProgress.Reset();
    }
    done.Reset();
    SetPage(Page::Welcome);
}

void CWizardDlg::ShowError(const QString& strText)
{
    ShowMessage(this, strText, QStringLiteral("Chyba"), QMessageBox::Warning);
}

CWizardDlg::RenderResult CWizardDlg::PictureNotLoaded(const QString& strPath, const EngineError& error)
{
    // The fixed first line, then which file and why.
    ShowError(QString::fromUtf8(kPictureNotLoaded) + '\n' +
              QString::fromStdString(LoadFailureLine(strPath.toStdString(), error.m_nCode)));
    return RenderResult::PictureNotLoaded;
}

CWizardDlg::RenderResult CWizardDlg::SizeRefused()
{
    ShowError(QString::fromUtf8(kSizeRefused));
    return RenderResult::SizeRefused;
}

CWizardDlg::RenderResult CWizardDlg::CheckOutputIsNotASource(const std::string& strOutput)
{
    // Writing over a source would lose that picture.
    if (::CheckOutputIsNotASource(strOutput, FileName(m_pageSource.m_strFirstPath),
                                  FileName(m_pageSource.m_strSecondPath)))
        return RenderResult::Done;
    ShowError(kOutputIsSource);
    return RenderResult::OutputIsSource;
}

bool CWizardDlg::PumpAndCheckQuit()
{
    QApplication::processEvents(QEventLoop::AllEvents);
    return m_bQuitRequested;
}

CWizardDlg::RenderResult CWizardDlg::PrepareRender(std::int32_t nSizeMode, std::int32_t nWidth,
                                                   std::int32_t nHeight, RenderInputs& in)
{
    // The second picture is not opened when the first cannot be loaded.
    auto first = LoadPictureFile(FileName(m_pageSource.m_strFirstPath));
    if (!first)
        return PictureNotLoaded(m_pageSource.m_strFirstPath, first.Error());
    auto second = LoadPictureFile(FileName(m_pageSource.m_strSecondPath));
    if (!second)
        return PictureNotLoaded(m_pageSource.m_strSecondPath, second.Error());
    in.m_first = std::move(first.Value());
    in.m_second = std::move(second.Value());

    // An impossible size is refused before anything is allocated or written.
    auto canvas = ComputeCanvas(nSizeMode, nWidth, nHeight, in.m_first.Width(), in.m_first.Height(),
                                in.m_second.Width(), in.m_second.Height());
    if (!canvas)
        return SizeRefused();
    in.m_canvas = canvas.Value();

    // The three buffers, in the order output, first picture, second picture.
    for (PixelBuffer* pBuffer : {&in.m_output, &in.m_firstBuffer, &in.m_secondBuffer}) {
        auto buffer = PixelBuffer::Allocate(in.m_canvas);
        if (!buffer)
            return SizeRefused();
        *pBuffer = std::move(buffer.Value());
    }
    return RenderResult::Done;
}

CWizardDlg::RenderResult CWizardDlg::RenderStill()
{
    RenderInputs in;
    if (const RenderResult result = PrepareRender(m_pageStillSettings.m_nSizeMode, m_pageStillSettings.m_nWidth,
                                                  m_pageStillSettings.m_nHeight, in);
        result != RenderResult::Done)
        return result;
    const std::string strPath = FileName(m_pageStillSettings.m_strOutputPath);
    if (const RenderResult result = CheckOutputIsNotASource(strPath); result != RenderResult::Done)
        return result;
    const Canvas& canvas = in.m_canvas;

    if (!ScaleToCanvas(in.m_first, in.m_second, canvas, in.m_firstBuffer, in.m_secondBuffer))
        return SizeRefused();

    // The ratio is read once, from the slider itself.
    const std::int32_t nPos = m_pageStillSettings.m_ctlRatio->value();
    const BlendWeight weight(StillWeight(nPos));

    const std::int32_t nHeight = canvas.Height();
    for (std::int32_t r = 0; r < nHeight; ++r) {
        BlendRow(in.m_firstBuffer, in.m_secondBuffer, in.m_output, canvas, r, weight);
        if (PumpAndCheckQuit())
            return RenderResult::Quit; // nothing has been written yet
        m_pageStillProgress.ShowPercent(Percent(r, nHeight));
    }

    // The writer stages the picture beside the target and replaces the
    // target only once the whole file is on disk.
    const auto saved = SaveBitmapFile(strPath, in.m_output, canvas);

    in.m_output = PixelBuffer();
    in.m_firstBuffer = PixelBuffer();
    in.m_secondBuffer = PixelBuffer();

    if (!saved) {
        // The file under that name, if there was one, is as it was.
        ShowError(kStillNotSaved);
        return RenderResult::NotSaved;
    }
    m_strResultPath = m_pageStillSettings.m_strOutputPath;
    return RenderResult::Done;
}

CWizardDlg::RenderResult CWizardDlg::RenderAnimation()
{
    CAviWriter writer;
    const std::int32_t nFrameCount = m_pageAnimSettings.m_nFrameCount;

    // The writer is not set up before both pictures are loaded, so a picture
    // that cannot be loaded leaves no file behind.
    RenderInputs in;
    if (const RenderResult result = PrepareRender(m_pageAnimSettings.m_nSizeMode, m_pageAnimSettings.m_nWidth,
                                                  m_pageAnimSettings.m_nHeight, in);
        result != RenderResult::Done)
        return result;
    const Canvas& canvas = in.m_canvas;

    // The compressor is chosen after both loads and before any pixel work.
    writer.SetBitmapHeader(canvas.Header());
    writer.m_strFileName = FileName(m_pageAnimSettings.m_strOutputPath);
    writer.EnsureAviExtension();
    writer.m_nRate = m_pageAnimSettings.m_nFps;
    // The name checked is the one the writer will create.
    if (const RenderResult result = CheckOutputIsNotASource(writer.m_strFileName); result != RenderResult::Done)
        return result;
    // The compression dialog is modal to the frame.
    const HRESULT hrInit = writer.InitEngine(reinterpret_cast<HWND>(static_cast<QWidget*>(this)));
    if (hrInit != 0) {
        writer.ReleaseEngine();
        // A cancelled choice returns 1 and leaves "Ok" as its text.
        if (hrInit == 1 && writer.m_strError == "Ok")
            return RenderResult::Cancelled;
        ShowError(kAnimationNotSaved + '\n' + QString::fromStdString(writer.m_strError));
        return RenderResult::NotSaved;
    }

    if (!ScaleToCanvas(in.m_first, in.m_second, canvas, in.m_firstBuffer, in.m_secondBuffer)) {
        writer.Abandon();
        writer.ReleaseEngine();
        return SizeRefused();
    }

    // The pipeline blends into frames of its own.
    in.m_output = PixelBuffer();

    // The frames are made on every core; this thread writes them in order,
    // shows the progress after each one and keeps the windows answering
    // while it waits.
    const FramePipeline::Result result = WriteDissolveFrames(
        writer, canvas, in.m_firstBuffer, in.m_secondBuffer, nFrameCount, FramePipeline::DefaultWorkers(),
        [this, nFrameCount](std::int32_t nWritten) {
            m_pageAnimProgress.ShowFrames(nWritten, nFrameCount);
            m_pageAnimProgress.ShowPercent(Percent(nWritten, nFrameCount));
        },
        [this] { return !PumpAndCheckQuit(); });
    if (result.m_nOutcome != FramePipeline::Outcome::Done) {
        writer.Abandon();
        writer.ReleaseEngine();
        if (result.m_nOutcome == FramePipeline::Outcome::Aborted)
            return RenderResult::Quit;
        // A file that lacks a frame is no result: drop it and say why.
        std::string strWhy = writer.RunErrorText();
        if (strWhy.empty())
            strWhy = result.m_strError;
        ShowError(kAnimationNotSaved + '\n' + QString::fromStdString(strWhy));
        return RenderResult::NotSaved;
    }

    in.m_output = PixelBuffer();
    in.m_firstBuffer = PixelBuffer();
    in.m_secondBuffer = PixelBuffer();

    writer.ReleaseEngine();
    if (!writer.IsCommitted()) {
        ShowError(kAnimationNotSaved + '\n' + QString::fromStdString(writer.RunErrorText()));
        return RenderResult::NotSaved;
    }
    // The writer may have added ".avi"; the finish opens what it wrote.
    m_strResultPath = QFile::decodeName(QByteArray::fromStdString(writer.m_strFileName));
    return RenderResult::Done;
}
