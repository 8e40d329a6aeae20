#include "pages/CStillSettingsPage.h"

// Local
#include "platform/ui/CFileDialog.h"

BEGIN_MESSAGE_MAP(CStillSettingsPage, CDialog)
    ON_BN_CLICKED(IDC_BROWSE, &CStillSettingsPage::OnBrowse)
    ON_BN_CLICKED(IDC_RADIO_FIRST, &CStillSettingsPage::OnSizeAuto)
    ON_BN_CLICKED(IDC_RADIO_SECOND, &CStillSettingsPage::OnSizeCustom)
    ON_BN_CLICKED(IDC_PREVIEW, &CStillSettingsPage::OnPreview)
    ON_EN_CHANGE(IDC_WIDTH, &CStillSettingsPage::OnValuesChanged)
    ON_EN_CHANGE(IDC_HEIGHT, &CStillSettingsPage::OnValuesChanged)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

CStillSettingsPage::CStillSettingsPage(CWnd* pParent)
    : CDialog(IDD_STILL_SETTINGS, pParent), m_strRatio("50:50"), m_nSizeMode(0), m_nWidth(100), m_nHeight(100)
{
}

void CStillSettingsPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RATIO_SLIDER, m_ctlRatio);
    DDX_Text(pDX, IDC_PATH, m_strOutputPath);
    DDX_Text(pDX, IDC_RATIO_LABEL, m_strRatio);
    DDX_Radio(pDX, IDC_RADIO_FIRST, m_nSizeMode);
    DDX_Text(pDX, IDC_WIDTH, m_nWidth);
    DDX_Text(pDX, IDC_HEIGHT, m_nHeight);
}

BOOL CStillSettingsPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_ctlRatio.SetRange(0, 100, FALSE);
    m_ctlRatio.SendMessage(TBM_SETPOS, TRUE, 50);
    // The size edits start disabled whatever the size mode holds.
    GetDlgItem(IDC_WIDTH)->EnableWindow(FALSE);
    GetDlgItem(IDC_HEIGHT)->EnableWindow(FALSE);
    return TRUE;
}

void CStillSettingsPage::OnOK() {}
void CStillSettingsPage::OnCancel() {}

void CStillSettingsPage::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar)
{
    // The slider is the share of the second picture: the label reads
    // "first:second", so position 30 shows 70:30.
    const int a = static_cast<int>(m_ctlRatio.SendMessage(TBM_GETPOS, 0, 0));
    const int b = static_cast<int>(m_ctlRatio.SendMessage(TBM_GETPOS, 0, 0));
    CString text;
    text.Format("%d:%d", 100 - b, a);
    SetDlgItemText(IDC_RATIO_LABEL, text);
    OnValuesChanged();
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CStillSettingsPage::OnBrowse()
{
    // Replacing an existing file is the user's decision, asked by the chooser.
    CFileDialog dlg(FALSE, "bmp", "plavex", OFN_OVERWRITEPROMPT, "Obrázky BMP (*.bmp)|*.bmp||");
    if (dlg.DoModal() != IDCANCEL)
        SetDlgItemText(IDC_PATH, dlg.GetPathName());
}

void CStillSettingsPage::OnSizeAuto()
{
    GetDlgItem(IDC_WIDTH)->EnableWindow(FALSE);
    GetDlgItem(IDC_HEIGHT)->EnableWindow(FALSE);
    OnValuesChanged();
}

void CStillSettingsPage::OnSizeCustom()
{
    GetDlgItem(IDC_WIDTH)->EnableWindow(TRUE);
    GetDlgItem(IDC_HEIGHT)->EnableWindow(TRUE);
    OnValuesChanged();
}

void CStillSettingsPage::OnPreview()
{
    if (m_pPreview)
        m_pPreview->Open(GetPreviewValues());
}

void CStillSettingsPage::OnValuesChanged()
{
    if (m_pPreview)
        m_pPreview->Update(GetPreviewValues());
}

PreviewValues CStillSettingsPage::GetPreviewValues()
{
    PreviewValues values = PreviewValues::FromSizeControls(*this);
    values.m_nRatio = static_cast<int>(m_ctlRatio.SendMessage(TBM_GETPOS, 0, 0));
    return values;
}
