#include "pages/CAnimSettingsPage.h"

// Local
#include "platform/ui/CFileDialog.h"

BEGIN_MESSAGE_MAP(CAnimSettingsPage, CDialog)
    ON_BN_CLICKED(IDC_BROWSE, &CAnimSettingsPage::OnBrowse)
    ON_BN_CLICKED(IDC_RADIO_FIRST, &CAnimSettingsPage::OnSizeAuto)
    ON_BN_CLICKED(IDC_RADIO_SECOND, &CAnimSettingsPage::OnSizeCustom)
END_MESSAGE_MAP()

CAnimSettingsPage::CAnimSettingsPage(CWnd* pParent)
    : CDialog(IDD_ANIM_SETTINGS, pParent), m_nSizeMode(0), m_nHeight(100), m_nWidth(100), m_nFps(25),
      m_nFrameCount(100)
{
}

void CAnimSettingsPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_RADIO_FIRST, m_nSizeMode);
    DDX_Text(pDX, IDC_HEIGHT, m_nHeight);
    DDV_MinMaxInt(pDX, m_nHeight, 1, 1000000);
    DDX_Text(pDX, IDC_WIDTH, m_nWidth);
    DDV_MinMaxInt(pDX, m_nWidth, 1, 1000000);
    DDX_Text(pDX, IDC_FPS, m_nFps);
    DDV_MinMaxInt(pDX, m_nFps, 1, 1000000);
    DDX_Text(pDX, IDC_FRAME_COUNT, m_nFrameCount);
    DDV_MinMaxInt(pDX, m_nFrameCount, 1, 1000000);
    DDX_Text(pDX, IDC_PATH, m_strOutputPath);
}

BOOL CAnimSettingsPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The size edits start disabled whatever the size mode holds.
    GetDlgItem(IDC_WIDTH)->EnableWindow(FALSE);
    GetDlgItem(IDC_HEIGHT)->EnableWindow(FALSE);
    return TRUE;
}

void CAnimSettingsPage::OnOK() {}
void CAnimSettingsPage::OnCancel() {}

void CAnimSettingsPage::OnBrowse()
{
    // Replacing an existing file is the user's decision, asked by the chooser.
    CFileDialog dlg(FALSE, "avi", "plavex", OFN_OVERWRITEPROMPT, "Avi soubory (*.avi)|*.avi||");
    if (dlg.DoModal() != IDCANCEL)
        SetDlgItemText(IDC_PATH, dlg.GetPathName());
}

void CAnimSettingsPage::OnSizeAuto()
{
    GetDlgItem(IDC_WIDTH)->EnableWindow(FALSE);
    GetDlgItem(IDC_HEIGHT)->EnableWindow(FALSE);
}

void CAnimSettingsPage::OnSizeCustom()
{
    GetDlgItem(IDC_WIDTH)->EnableWindow(TRUE);
    GetDlgItem(IDC_HEIGHT)->EnableWindow(TRUE);
}
