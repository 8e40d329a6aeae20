#include "app/CWizardDlg.h"

#include <cstdint>
#include <string>

// Qt
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPushButton>
#include <QSlider>

// Local
#include "app/CWizardRender.h"
#include "engine/Canvas.h"
#include "pages/LoadFailureText.h"
#include "platform/ui/CInputBlock.h"
#include "platform/ui/IMessageBox.h"
#include "platform/ui/IShell.h"

namespace {

const QString kCaption = QStringLiteral("Plavex");
const QString kQuitQuestion = QStringLiteral("Opravdu chcete ukončit program?");
const QString kNoPictures = QStringLiteral("Musíte vybrat soubory!");
const QString kNoOutput = QStringLiteral("Musíte vybrat soubor!");
const QString kOutputIsSource = QStringLiteral("Výstupní soubor nesmí být jedním ze zdrojových obrázků!");
const QString kStillNotSaved = QStringLiteral("Soubor se nepodařilo uložit!");
const QString kStillFormatUnwritable =
    QStringLiteral("Obrázek nelze uložit ve formátu %1!\nUložit jej lze jako BMP, PNG, JPEG, WebP nebo TIFF.");
const QString kAnimationNotSaved = QStringLiteral("Animaci se nepodařilo uložit!");

// A path as the file system takes it.
std::string FileName(const QString& strPath) { return QFile::encodeName(strPath).toStdString(); }

} // namespace

CWizardDlg::CWizardDlg(QWidget* pParent) : CTemplateDialog(IDD_WIZARD, pParent)
{
    setWindowIcon(QIcon(QString::fromUtf8(AppIconPath())));
    connect(static_cast<QPushButton*>(Item(IDC_NEXT)), &QPushButton::clicked, this, &CWizardDlg::OnNext);
    connect(static_cast<QPushButton*>(Item(IDC_PREV)), &QPushButton::clicked, this, &CWizardDlg::OnPrev);
    connect(static_cast<QPushButton*>(Item(IDCANCEL)), &QPushButton::clicked, this, &CWizardDlg::OnCancel);

    m_pageSource.SetPictureCache(&m_pictures);
    m_pictures.AddListener([this] { ShowAutomaticSize(); });
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

void CWizardDlg::OnStopSignal()
{
    // Their loops return once this handler has; a window that does not go
    // when rejected is left alone.
    for (QWidget* pLast = nullptr; auto* pModal = qobject_cast<QDialog*>(QApplication::activeModalWidget());) {
        if (pModal == this || pModal == pLast)
            break;
        pLast = pModal;
        pModal->reject();
    }
    m_bQuitRequested = true;
    if (!IsRendering())
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
        // A picture whose thumbnail has failed is refused now, as the render
        // would refuse it; one still loading does not hold the user back.
        for (const QString& strPath : {m_pageSource.m_strFirstPath, m_pageSource.m_strSecondPath})
            if (const auto* pPicture = m_pictures.Find(strPath); pPicture && !*pPicture) {
                ShowFailure({pPicture->Error().m_nCode, {}, FileName(strPath)}, false);
                return;
            }
        m_wndPreview.SetSources(m_pageSource.m_strFirstPath, m_pageSource.m_strSecondPath);
        ShowAutomaticSize();
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
    const CWizardRender::Job job{FileName(m_pageSource.m_strFirstPath),
                                 FileName(m_pageSource.m_strSecondPath),
                                 FileName(settings.m_strOutputPath),
                                 settings.m_nSizeMode,
                                 settings.m_nWidth,
                                 settings.m_nHeight,
                                 settings.m_nKeepAspect ? PictureFit::Contain : PictureFit::Stretch};
    // A source named as the output, or a still named in a format that is not
    // written, is refused before any work, as the render would refuse it.
    if (auto output = CWizardRender::OutputFile(job, bAnimation); !output) {
        ShowFailure(output.Error(), bAnimation);
        return;
    }

    const Page settingsPage = m_nPage;
    SetPage(NextPage());
    // Only the close box and its question answer while the render runs:
    // the queue is drained after every row, and a key or a click let through
    // could open a chooser inside the render or start another.
    const CInputBlock block(this);
    CProgressPage& progress = bAnimation ? m_pageAnimProgress : m_pageStillProgress;
    // Every report sets the page's values; it is painted at the display's pace.
    progress.HoldPainting(true);
    CWizardRender render;
    render.m_onProgress = [&progress](std::int32_t nDone, std::int32_t nTotal) { progress.ShowProgress(nDone, nTotal); };
    // The windows keep painting while the render works.
    render.m_keepGoing = [this] {
        QApplication::processEvents(QEventLoop::AllEvents);
        return !m_bQuitRequested;
    };
    // The compression dialog is modal to the frame.
    render.m_chooseCompression = [this](const std::vector<const VideoCodec*>& offered) {
        return m_pCompressionChooser->Choose(this, offered);
    };
    // The ratio is read once, from the slider itself.
    const EngineResult<std::string> written =
        bAnimation ? render.RenderAnimation({job, m_pageAnimSettings.m_nFrameCount, m_pageAnimSettings.m_nFps})
                   : render.RenderStill({job, m_pageStillSettings.m_ctlRatio->value()});
    progress.HoldPainting(false);
    if (written)
        m_strResultPath = QFile::decodeName(QByteArray::fromStdString(written.Value()));
    else
        ShowFailure(written.Error(), bAnimation);
    // Nothing was written unless it is done: back to the settings, where the
    // user can change the choice or go back to the source page.
    SetPage(written ? NextPage() : settingsPage);
    // The render has dropped its output; the program ends as the user asked.
    if (m_bQuitRequested)
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
    ShowAutomaticSize();
    SetPage(Page::Welcome);
}

void CWizardDlg::ShowFailure(const EngineError& error, bool bAnimation)
{
    QString strText;
    switch (error.m_nCode) {
    case EngineErrorCode::Cancelled:
        return;
    case EngineErrorCode::OutputIsSource:
        strText = kOutputIsSource;
        break;
    case EngineErrorCode::OutputFormatUnwritable:
        strText = kStillFormatUnwritable.arg(QFileInfo(QString::fromStdString(error.m_strPath)).suffix().toUpper());
        break;
    case EngineErrorCode::WriteFailed:
        // The animation says why in the writer's own words.
        strText = bAnimation ? kAnimationNotSaved + '\n' + QString::fromStdString(error.m_strMessage) : kStillNotSaved;
        break;
    default:
        // A source picture that cannot be loaded names itself and says why;
        // everything else is the size asked for.
        strText = error.m_strPath.empty() ? QString::fromUtf8(kSizeRefused)
                                          : QString::fromUtf8(kPictureNotLoaded) + '\n' +
                                                QString::fromStdString(LoadFailureLine(error.m_strPath, error.m_nCode));
        break;
    }
    ShowMessage(this, strText, QStringLiteral("Chyba"), QMessageBox::Warning);
}

void CWizardDlg::ShowAutomaticSize()
{
    std::optional<QSize> size;
    const auto canvas = CPictureCache::AutomaticCanvas(m_pictures.Find(m_pageSource.m_strFirstPath),
                                                       m_pictures.Find(m_pageSource.m_strSecondPath));
    // A size the animation page would refuse to read is not shown.
    if (canvas && *canvas && canvas->Value().Width() <= CAnimSettingsPage::kLargest &&
        canvas->Value().Height() <= CAnimSettingsPage::kLargest)
        size = QSize(canvas->Value().Width(), canvas->Value().Height());
    m_pageAnimSettings.SetAutomaticSize(size);
    m_pageStillSettings.SetAutomaticSize(size);
}
