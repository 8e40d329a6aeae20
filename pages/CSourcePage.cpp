#include "pages/CSourcePage.h"

// Qt
#include <QLabel>
#include <QPixmap>

// Local
#include "pages/CPictureCache.h"
#include "pages/LoadFailureText.h"
#include "platform/ui/CFileDialog.h"

namespace {

constexpr const char* kLoading = "Načítám obrázek…";

} // namespace

BEGIN_MESSAGE_MAP(CSourcePage, CDialog)
    ON_BN_CLICKED(IDC_BROWSE, &CSourcePage::OnBrowseFirst)
    ON_BN_CLICKED(IDC_BROWSE_SECOND, &CSourcePage::OnBrowseSecond)
    ON_EN_CHANGE(IDC_PATH, &CSourcePage::OnPathChanged)
    ON_EN_CHANGE(IDC_SECOND_PATH, &CSourcePage::OnPathChanged)
END_MESSAGE_MAP()

CSourcePage::CSourcePage(CWnd* pParent) : CDialog(IDD_SOURCE, pParent), m_nMode(0) {}

void CSourcePage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_RADIO_FIRST, m_nMode);
    DDX_Text(pDX, IDC_PATH, m_strFirstPath);
    DDX_Text(pDX, IDC_SECOND_PATH, m_strSecondPath);
}

void CSourcePage::OnOK() {}
void CSourcePage::OnCancel() {}

void CSourcePage::OnBrowseFirst() { BrowseInto(IDC_PATH); }
void CSourcePage::OnBrowseSecond() { BrowseInto(IDC_SECOND_PATH); }

void CSourcePage::BrowseInto(int nIDEdit)
{
    // Only the edit is written; the member follows at the next exchange.
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, 
                    "Obrázky|*.gif;*.jpeg;*.jpg;*.bmp;*.png;*.webp;*.tif;*.tiff;*.heic;*.heif;*.avif;*.wmf;*.ico;*.cur||");
    if (dlg.DoModal() != IDCANCEL)
        SetDlgItemText(nIDEdit, dlg.GetPathName());
}

void CSourcePage::SetPictureCache(CPictureCache* pPictures)
{
    m_pPictures = pPictures;
    if (pPictures)
        pPictures->AddListener([this] { ShowThumbnails(); });
}

// A path reaches its edit from the chooser or from the members; either way
// the thumbnail follows.
void CSourcePage::OnPathChanged() { ShowThumbnails(); }

void CSourcePage::ShowThumbnails()
{
    if (!m_pPictures)
        return;
    struct Slot {
        int nIDEdit;
        int nIDThumb;
        int nIDReason;
    };
    for (const Slot& slot : {Slot{IDC_PATH, IDC_FIRST_THUMB, IDC_FIRST_REASON},
                             Slot{IDC_SECOND_PATH, IDC_SECOND_THUMB, IDC_SECOND_REASON}}) {
        CWnd* pThumb = GetDlgItem(slot.nIDThumb);
        auto* pLabel = pThumb ? qobject_cast<QLabel*>(pThumb->GetWidget()) : nullptr;
        if (!pLabel)
            return;
        CString strPath;
        GetDlgItemText(slot.nIDEdit, strPath);
        const EngineResult<PreviewPicture>* pPicture = m_pPictures->Find(strPath.str());

        CString strReason;
        QPixmap pixmap;
        if (!strPath.IsEmpty() && !pPicture) {
            strReason = kLoading;
        } else if (pPicture && !*pPicture) {
            strReason = LoadFailureReason(pPicture->Error().m_nCode);
        } else if (pPicture) {
            // Drawn for the screen's own pixels, so it stays sharp on a dense display.
            const qreal dRatio = pLabel->devicePixelRatioF();
            const QImage& image = pPicture->Value().m_bitmap.Image();
            pixmap = QPixmap::fromImage(image.scaled((QSizeF(pLabel->size()) * dRatio).toSize(), Qt::KeepAspectRatio,
                                                     Qt::SmoothTransformation));
            pixmap.setDevicePixelRatio(dRatio);
        }
        pLabel->setAlignment(Qt::AlignCenter);
        pLabel->setPixmap(pixmap);
        SetDlgItemText(slot.nIDReason, strReason);
    }
}
