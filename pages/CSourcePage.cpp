#include "pages/CSourcePage.h"

// Local
#include "platform/ui/CFileDialog.h"

BEGIN_MESSAGE_MAP(CSourcePage, CDialog)
    ON_BN_CLICKED(IDC_BROWSE, &CSourcePage::OnBrowseFirst)
    ON_BN_CLICKED(IDC_BROWSE_SECOND, &CSourcePage::OnBrowseSecond)
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
