#include "pages/CAnimSettingsPage.h"

#include <cstdint>
#include <optional>

// Local
#include "platform/ui/CFileDialog.h"

namespace {

// The range the page's data exchange allows for a side.
constexpr std::int32_t kLargestSide = 1000000;

} // namespace

BEGIN_MESSAGE_MAP(CAnimSettingsPage, CDialog)
    ON_BN_CLICKED(IDC_BROWSE, &CAnimSettingsPage::OnBrowse)
    ON_BN_CLICKED(IDC_RADIO_FIRST, &CAnimSettingsPage::OnSizeAuto)
    ON_BN_CLICKED(IDC_RADIO_SECOND, &CAnimSettingsPage::OnSizeCustom)
    ON_BN_CLICKED(IDC_PREVIEW, &CAnimSettingsPage::OnPreview)
    ON_EN_CHANGE(IDC_WIDTH, &CAnimSettingsPage::OnValuesChanged)
    ON_EN_CHANGE(IDC_HEIGHT, &CAnimSettingsPage::OnValuesChanged)
    ON_EN_CHANGE(IDC_FRAME_COUNT, &CAnimSettingsPage::OnValuesChanged)
    ON_EN_CHANGE(IDC_FPS, &CAnimSettingsPage::OnValuesChanged)
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
    // A name ending in ".mp4" is written as MP4, any other as AVI.
    CFileDialog dlg(FALSE, "avi", "plavex", OFN_OVERWRITEPROMPT,
                    "Avi soubory (*.avi)|*.avi|Video MP4 (*.mp4)|*.mp4||");
    if (dlg.DoModal() != IDCANCEL)
        SetDlgItemText(IDC_PATH, dlg.GetPathName());
}

void CAnimSettingsPage::OnSizeAuto()
{
    GetDlgItem(IDC_WIDTH)->EnableWindow(FALSE);
    GetDlgItem(IDC_HEIGHT)->EnableWindow(FALSE);
    OnValuesChanged();
}

void CAnimSettingsPage::OnSizeCustom()
{
    GetDlgItem(IDC_WIDTH)->EnableWindow(TRUE);
    GetDlgItem(IDC_HEIGHT)->EnableWindow(TRUE);
    OnValuesChanged();
}

void CAnimSettingsPage::OnPreview()
{
    if (m_pPreview)
        m_pPreview->Open(GetPreviewValues());
}

void CAnimSettingsPage::OnValuesChanged()
{
    if (m_pPreview)
        m_pPreview->Update(GetPreviewValues());
}


PreviewValues CAnimSettingsPage::GetPreviewValues()
{
    PreviewValues values = PreviewValues::FromSizeControls(*this);
    values.m_bAnimation = true;
    // A side the page would refuse gives no size here either.
    for (std::optional<std::int32_t>* pSide : {&values.m_nWidth, &values.m_nHeight})
        if (*pSide && (**pSide < 1 || **pSide > kLargestSide))
            pSide->reset();
    CString strText;
    GetDlgItemText(IDC_FRAME_COUNT, strText);
    values.m_nFrameCount = PreviewValues::ParseNumber(strText);
    GetDlgItemText(IDC_FPS, strText);
    values.m_nFps = PreviewValues::ParseNumber(strText);
    return values;
}
