#include "app/CWizardDlg.h"

#include <cstdint>
#include <string>
#include <utility>

// Local
#include "engine/Blend.h"
#include "engine/BlendWeight.h"
#include "engine/BmpWriter.h"
#include "engine/FramePipeline.h"
#include "engine/PictureLoader.h"
#include "engine/PictureScaler.h"
#include "engine/SameFile.h"
#include "pages/LoadFailureText.h"
#include "platform/ui/CWinApp.h"
#include "video/DissolveWriter.h"
#include "video/VideoContainer.h"

namespace {

constexpr const char* kCaption = "Plavex";
constexpr const char* kErrorCaption = "Chyba";
constexpr const char* kNext = "Další";
constexpr const char* kFinish = "Dokončit";

constexpr const char* kQuitQuestion = "Opravdu chcete ukončit program?";
constexpr const char* kNoPictures = "Musíte vybrat soubory!";
constexpr const char* kNoOutput = "Musíte vybrat soubor!";
constexpr const char* kOutputIsSource = "Výstupní soubor nesmí být jedním ze zdrojových obrázků!";
constexpr const char* kStillNotSaved = "Soubor se nepodařilo uložit!";
constexpr const char* kAnimationNotSaved = "Animaci se nepodařilo uložit!";

// Page indexes of the navigation.
constexpr int kPageWelcome = 0;
constexpr int kPageSource = 1;
constexpr int kPageAnimSettings = 2;
constexpr int kPageAnimDone = 3;
constexpr int kPageStillSettings = 10;
constexpr int kPageStillDone = 11;

// Progress in percent, division first, each step in double and truncated.
int Percent(std::int32_t nDone, std::int32_t nTotal)
{
    const double dShare = static_cast<double>(nDone) / static_cast<double>(nTotal);
    return static_cast<int>(dShare * 100.0);
}

} // namespace

BEGIN_MESSAGE_MAP(CWizardDlg, CDialog)
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_PREV, &CWizardDlg::OnPrev)
    ON_BN_CLICKED(IDC_NEXT, &CWizardDlg::OnNext)
END_MESSAGE_MAP()

CWizardDlg::CWizardDlg(CWnd* pParent) : CDialog(IDD_WIZARD, pParent), m_hIcon(nullptr), m_nPage(0)
{
    if (CWinApp* pApp = AfxGetApp())
        m_hIcon = pApp->LoadIcon(IDI_APP);
}

void CWizardDlg::DoDataExchange(CDataExchange* pDX)
{
    // The frame holds no data of its own.
    CDialog::DoDataExchange(pDX);
}

BOOL CWizardDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // Every page window is made once, here, and afterwards only shown and hidden.
    m_pageWelcome.Create(IDD_WELCOME, this);
    m_pageWelcome.ShowWindow(SW_SHOW);
    m_pageSource.Create(IDD_SOURCE, this);
    m_pageSource.ShowWindow(SW_HIDE);
    m_pageAnimSettings.Create(IDD_ANIM_SETTINGS, this);
    m_pageAnimSettings.ShowWindow(SW_HIDE);
    m_pageAnimProgress.Create(IDD_ANIM_PROGRESS, this);
    m_pageAnimProgress.ShowWindow(SW_HIDE);
    m_pageAnimDone.Create(IDD_ANIM_DONE, this);
    m_pageAnimDone.ShowWindow(SW_HIDE);
    m_pageStillSettings.Create(IDD_STILL_SETTINGS, this);
    m_pageStillSettings.ShowWindow(SW_HIDE);
    m_pageStillProgress.Create(IDD_STILL_PROGRESS, this);
    m_pageStillProgress.ShowWindow(SW_HIDE);
    m_pageStillDone.Create(IDD_STILL_DONE, this);
    m_pageStillDone.ShowWindow(SW_HIDE);

    m_pageSource.SetPictureCache(&m_pictures);
    m_wndPreview.Init(this, &m_pictures);
    m_pageAnimSettings.m_pPreview = &m_wndPreview;
    m_pageStillSettings.m_pPreview = &m_wndPreview;

    m_nPage = kPageWelcome;
    return TRUE; // the focus goes to "Další"
}

void CWizardDlg::OnOK() {}

void CWizardDlg::OnCancel()
{
    // Once the user has said yes during a render, the render is on its way out.
    if (m_bQuitRequested)
        return;
    if (MessageBox(kQuitQuestion, kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (m_bRendering) {
        // The render notices the next time it drains the queue, drops its
        // output, and the navigation then ends the wizard.
        m_bQuitRequested = true;
        return;
    }
    CDialog::OnCancel();
}

HCURSOR CWizardDlg::OnQueryDragIcon() { return m_hIcon; }

void CWizardDlg::EnableButton(int nID, BOOL bEnable)
{
    if (CWnd* pButton = GetDlgItem(nID))
        pButton->EnableWindow(bEnable);
}

void CWizardDlg::OnNext()
{
    // The buttons are disabled while a render runs; this also keeps out a
    // command that reaches the frame some other way.
    if (m_bRendering)
        return;

    if (m_nPage != kPageAnimDone)
        EnableButton(IDC_PREV, TRUE);
    const int k = m_nPage;
    m_nPage = k + 1;

    switch (k) {
    case kPageWelcome:
        m_pageWelcome.ShowWindow(SW_HIDE);
        m_pageSource.ShowWindow(SW_SHOW);
        break;
    case kPageSource:
        m_pageSource.UpdateData(TRUE);
        if (m_pageSource.m_strFirstPath.IsEmpty() || m_pageSource.m_strSecondPath.IsEmpty()) {
            MessageBox(kNoPictures, nullptr, MB_OK);
            m_nPage = kPageSource;
            return;
        }
        m_pageSource.ShowWindow(SW_HIDE);
        m_wndPreview.SetSources(m_pageSource.m_strFirstPath, m_pageSource.m_strSecondPath);
        if (m_pageSource.m_nMode == 0) {
            m_pageAnimSettings.ShowWindow(SW_SHOW);
        } else {
            m_pageStillSettings.ShowWindow(SW_SHOW);
            m_nPage = kPageStillSettings;
        }
        break;
    case kPageAnimSettings:
        StartRender(m_pageAnimSettings, m_pageAnimSettings.m_strOutputPath, kPageAnimSettings, m_pageAnimProgress,
                    m_pageAnimDone, &CWizardDlg::RenderAnimation);
        break;
    case kPageAnimDone:
        m_pageAnimDone.UpdateData(TRUE);
        Finish(m_pageAnimDone.m_bOpenResult, m_pageAnimDone.m_bStartAgain, true);
        break;
    case kPageStillSettings:
        StartRender(m_pageStillSettings, m_pageStillSettings.m_strOutputPath, kPageStillSettings,
                    m_pageStillProgress, m_pageStillDone, &CWizardDlg::RenderStill);
        break;
    case kPageStillDone:
        m_pageStillDone.UpdateData(TRUE);
        Finish(m_pageStillDone.m_bOpenResult, m_pageStillDone.m_bStartAgain, false);
        break;
    default:
        break;
    }
}

void CWizardDlg::StartRender(CDialog& settings, const CString& strOutputPath, int nSettingsPage,
                             CDialog& progress, CDialog& done, RenderFn pRender)
{
    if (!settings.UpdateData(TRUE)) {
        m_nPage = nSettingsPage;
        return;
    }
    if (strOutputPath.IsEmpty()) {
        MessageBox(kNoOutput, nullptr, MB_OK);
        m_nPage = nSettingsPage;
        return;
    }

    EnableButton(IDC_NEXT, FALSE);
    EnableButton(IDC_PREV, FALSE);
    EnableButton(IDCANCEL, FALSE);
    settings.UpdateData(TRUE);
    m_pageSource.UpdateData(TRUE);
    m_wndPreview.Close();
    settings.ShowWindow(SW_HIDE);
    progress.ShowWindow(SW_SHOW);

    m_bRendering = true;
    const RenderResult result = (this->*pRender)();
    m_bRendering = false;

    if (result == RenderResult::Quit) {
        // The render has dropped its output; the program ends as the user asked.
        CDialog::OnCancel();
        return;
    }
    progress.ShowWindow(SW_HIDE);
    if (result == RenderResult::Done) {
        done.ShowWindow(SW_SHOW);
        EnableButton(IDC_NEXT, TRUE);
        if (CWnd* pNext = GetDlgItem(IDC_NEXT))
            pNext->SetWindowText(kFinish);
        EnableButton(IDC_PREV, FALSE);
        EnableButton(IDCANCEL, TRUE);
        return;
    }
    // Nothing was written: back to the settings, where the user can change
    // the choice or go back to the source page.
    settings.ShowWindow(SW_SHOW);
    m_nPage = nSettingsPage;
    EnableButton(IDC_NEXT, TRUE);
    EnableButton(IDC_PREV, TRUE);
    EnableButton(IDCANCEL, TRUE);
}

void CWizardDlg::Finish(int bOpenResult, int bStartAgain, bool bAnimation)
{
    if (!bStartAgain) {
        if (bOpenResult)
            OpenResult();
        CDialog::OnOK();
        return;
    }
    if (bOpenResult)
        OpenResult();
    if (bAnimation)
        RestartAfterAnimation();
    else
        RestartAfterStill();
}

void CWizardDlg::OpenResult()
{
    // The result is opened with the desktop's default application; whether
    // one could open it is not the wizard's concern.
    ShellExecuteA(nullptr, "", m_strResultPath, "", "", SW_SHOW);
}

void CWizardDlg::RestartAfterAnimation()
{
    m_nPage = kPageWelcome;
    m_pageAnimDone.ShowWindow(SW_HIDE);
    if (CWnd* pNext = GetDlgItem(IDC_NEXT))
        pNext->SetWindowText(kNext);

    m_pageSource.m_strSecondPath = "";
    m_pageSource.m_strFirstPath = "";
    m_pageSource.m_nMode = 0;
    m_pageSource.UpdateData(FALSE);

    m_pageAnimSettings.m_nFrameCount = 100;
    m_pageAnimSettings.m_nFps = 25;
    m_pageAnimSettings.m_nWidth = 100;
    m_pageAnimSettings.m_nHeight = 100;
    m_pageAnimSettings.m_strOutputPath = "";
    m_pageAnimSettings.m_nSizeMode = 0;
    m_pageAnimSettings.UpdateData(FALSE);

    m_pageAnimProgress.m_strPercent = "0%";
    m_pageAnimProgress.m_ctlProgress.SendMessage(PBM_SETPOS, 0, 0);
    m_pageAnimProgress.m_strFrame = "0/0";
    m_pageAnimProgress.UpdateData(FALSE);

    m_pageAnimDone.m_bStartAgain = 0;
    m_pageAnimDone.m_bOpenResult = 0;
    m_pageAnimDone.UpdateData(FALSE);

    m_pageWelcome.ShowWindow(SW_SHOW);
}

void CWizardDlg::RestartAfterStill()
{
    m_nPage = kPageWelcome;
    m_pageStillDone.ShowWindow(SW_HIDE);
    if (CWnd* pNext = GetDlgItem(IDC_NEXT))
        pNext->SetWindowText(kNext);
    EnableButton(IDC_PREV, FALSE);

    m_pageSource.m_strSecondPath = "";
    m_pageSource.m_strFirstPath = "";
    m_pageSource.m_nMode = 0;
    m_pageSource.UpdateData(FALSE);

    // The ratio slider and its label keep where the user left them.
    m_pageStillSettings.m_nWidth = 100;
    m_pageStillSettings.m_nHeight = 100;
    m_pageStillSettings.m_strOutputPath = "";
    m_pageStillSettings.m_nSizeMode = 0;
    m_pageStillSettings.UpdateData(FALSE);

    m_pageStillProgress.m_strPercent = "0%";
    m_pageStillProgress.m_ctlProgress.SendMessage(PBM_SETPOS, 0, 0);
    m_pageStillProgress.UpdateData(FALSE);

    m_pageStillDone.m_bStartAgain = 0;
    m_pageStillDone.m_bOpenResult = 0;
    m_pageStillDone.UpdateData(FALSE);

    m_pageWelcome.ShowWindow(SW_SHOW);
}

void CWizardDlg::OnPrev()
{
    if (m_bRendering)
        return;

    EnableButton(IDC_NEXT, TRUE);
    m_wndPreview.Close();
    --m_nPage;
    if (m_nPage == kPageWelcome)
        EnableButton(IDC_PREV, FALSE);

    switch (m_nPage) {
    case kPageWelcome:
        m_pageSource.ShowWindow(SW_HIDE);
        m_pageWelcome.ShowWindow(SW_SHOW);
        break;
    case kPageSource:
        m_pageAnimSettings.ShowWindow(SW_HIDE);
        m_pageSource.ShowWindow(SW_SHOW);
        break;
    case kPageStillSettings - 1:
        // The still road is numbered apart; its way back leads to the source page.
        m_nPage = kPageSource;
        m_pageStillSettings.ShowWindow(SW_HIDE);
        m_pageSource.ShowWindow(SW_SHOW);
        break;
    default:
        break;
    }
}

EngineResult<GfxBitmap> CWizardDlg::LoadPictureFile(const CString& strPath)
{
    return ::LoadPictureFile(strPath.str());
}

EngineResult<void> CWizardDlg::ScaleToCanvas(const GfxBitmap& first, const GfxBitmap& second, const Canvas& canvas,
                                             PixelBuffer& firstBuffer, PixelBuffer& secondBuffer)
{
    return ::ScaleToCanvas(first, second, canvas, firstBuffer, secondBuffer);
}

EngineResult<void> CWizardDlg::SaveBitmapFile(const CString& strPath, const PixelBuffer& buffer,
                                              const Canvas& canvas)
{
    // The writer stages the picture beside the target and replaces the
    // target only once the whole file is on disk.
    return ::SaveBitmapFile(strPath.str(), buffer, canvas);
}

CWizardDlg::RenderResult CWizardDlg::PictureNotLoaded(const CString& strPath, const EngineError& error)
{
    // The fixed first line, then which file and why.
    const std::string strText = std::string(kPictureNotLoaded) + "\n" + LoadFailureLine(strPath.str(), error.m_nCode);
    MessageBox(strText.c_str(), kErrorCaption, MB_ICONEXCLAMATION);
    return RenderResult::PictureNotLoaded;
}

CWizardDlg::RenderResult CWizardDlg::SizeRefused()
{
    MessageBox(kSizeRefused, kErrorCaption, MB_ICONEXCLAMATION);
    return RenderResult::SizeRefused;
}

CWizardDlg::RenderResult CWizardDlg::CheckOutputIsNotASource(const std::string& strOutput)
{
    // Writing over a source would lose that picture.
    if (::CheckOutputIsNotASource(strOutput, m_pageSource.m_strFirstPath.str(), m_pageSource.m_strSecondPath.str()))
        return RenderResult::Done;
    MessageBox(kOutputIsSource, kErrorCaption, MB_ICONEXCLAMATION);
    return RenderResult::OutputIsSource;
}

bool CWizardDlg::PumpAndCheckQuit()
{
    AfxPumpMessages();
    return m_bQuitRequested;
}

CWizardDlg::RenderResult CWizardDlg::PrepareRender(std::int32_t nSizeMode, std::int32_t nWidth,
                                                   std::int32_t nHeight, RenderInputs& in)
{
    // The second picture is not opened when the first cannot be loaded.
    auto first = LoadPictureFile(m_pageSource.m_strFirstPath);
    if (!first)
        return PictureNotLoaded(m_pageSource.m_strFirstPath, first.Error());
    auto second = LoadPictureFile(m_pageSource.m_strSecondPath);
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
    if (const RenderResult result = CheckOutputIsNotASource(m_pageStillSettings.m_strOutputPath.str());
        result != RenderResult::Done)
        return result;
    const Canvas& canvas = in.m_canvas;

    if (!ScaleToCanvas(in.m_first, in.m_second, canvas, in.m_firstBuffer, in.m_secondBuffer))
        return SizeRefused();

    // The ratio is read once, from the slider itself.
    const auto nPos = static_cast<std::int32_t>(m_pageStillSettings.m_ctlRatio.SendMessage(TBM_GETPOS, 0, 0));
    const BlendWeight weight(StillWeight(nPos));

    const std::int32_t nHeight = canvas.Height();
    for (std::int32_t r = 0; r < nHeight; ++r) {
        BlendRow(in.m_firstBuffer, in.m_secondBuffer, in.m_output, canvas, r, weight);
        if (PumpAndCheckQuit())
            return RenderResult::Quit; // nothing has been written yet

        const int nPercent = Percent(r, nHeight);
        m_pageStillProgress.m_ctlProgress.SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPercent), 0);
        m_pageStillProgress.m_strPercent.Format("%d%%", nPercent);
        m_pageStillProgress.UpdateData(FALSE);
    }

    const CString strPath = m_pageStillSettings.m_strOutputPath;
    const auto saved = SaveBitmapFile(strPath, in.m_output, canvas);

    in.m_output = PixelBuffer();
    in.m_firstBuffer = PixelBuffer();
    in.m_secondBuffer = PixelBuffer();

    if (!saved) {
        // The file under that name, if there was one, is as it was.
        MessageBox(kStillNotSaved, kErrorCaption, MB_ICONEXCLAMATION);
        return RenderResult::NotSaved;
    }
    m_strResultPath = strPath;
    return RenderResult::Done;
}

CWizardDlg::RenderResult CWizardDlg::RenderAnimation()
{
    const std::int32_t nFrameCount = m_pageAnimSettings.m_nFrameCount;

    // The writer is not set up before both pictures are loaded, so a picture
    // that cannot be loaded leaves no file behind.
    RenderInputs in;
    if (const RenderResult result = PrepareRender(m_pageAnimSettings.m_nSizeMode, m_pageAnimSettings.m_nWidth,
                                                  m_pageAnimSettings.m_nHeight, in);
        result != RenderResult::Done)
        return result;
    const Canvas& canvas = in.m_canvas;

    // An AVI name may gain ".avi"; the name checked is the one written.
    const std::string strName = VideoFileName(m_pageAnimSettings.m_strOutputPath.str());
    if (const RenderResult result = CheckOutputIsNotASource(strName); result != RenderResult::Done)
        return result;
    // The compressor is chosen after both loads and before any pixel work,
    // among the codecs the name's container carries.
    const VideoContainer container = ContainerOfName(strName);
    const auto choice = m_pCompressionChooser->Choose(GetWidget(), CodecsOf(container));
    if (!choice)
        return RenderResult::Cancelled;
    std::unique_ptr<IVideoWriter> pWriter = MakeVideoWriter(container);
    // A writer that goes uncommitted takes its temporary file with it, so it
    // goes before the user is told.
    const auto notSaved = [&](const std::string& strWhy) {
        pWriter.reset();
        MessageBox(CString(kAnimationNotSaved) + "\n" + strWhy, kErrorCaption, MB_ICONEXCLAMATION);
        return RenderResult::NotSaved;
    };
    if (auto opened = pWriter->Open(strName, {canvas, m_pageAnimSettings.m_nFps, choice->m_pCodec, choice->m_nQuality});
        !opened)
        return notSaved(opened.Error().m_strMessage);

    if (!ScaleToCanvas(in.m_first, in.m_second, canvas, in.m_firstBuffer, in.m_secondBuffer)) {
        pWriter.reset();
        return SizeRefused();
    }

    // The pipeline blends into frames of its own.
    in.m_output = PixelBuffer();

    // The frames are made on every core; this thread writes them in order,
    // shows the progress after each one and keeps the windows answering
    // while it waits.
    const FramePipeline::Result result = WriteDissolveFrames(
        *pWriter, in.m_firstBuffer, in.m_secondBuffer, nFrameCount, FramePipeline::DefaultWorkers(),
        [this, nFrameCount](std::int32_t nWritten) {
            m_pageAnimProgress.m_strFrame.Format("%d/%d", nWritten, nFrameCount);
            const int nPercent = Percent(nWritten, nFrameCount);
            m_pageAnimProgress.m_ctlProgress.SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPercent), 0);
            m_pageAnimProgress.m_strPercent.Format("%d%%", nPercent);
            m_pageAnimProgress.UpdateData(FALSE);
        },
        [this] { return !PumpAndCheckQuit(); });
    if (result.m_nOutcome == FramePipeline::Outcome::Aborted)
        return RenderResult::Quit;

    in.m_firstBuffer = PixelBuffer();
    in.m_secondBuffer = PixelBuffer();

    // A file that lacks a frame is no result: it is dropped, and the user is told why.
    if (result.m_nOutcome != FramePipeline::Outcome::Done)
        return notSaved(result.m_strError);
    if (auto committed = pWriter->Commit(); !committed)
        return notSaved(committed.Error().m_strMessage);
    m_strResultPath = CString(strName);
    return RenderResult::Done;
}
