#include "pages/CAnimProgressPage.h"

CAnimProgressPage::CAnimProgressPage(CWnd* pParent)
    : CDialog(IDD_ANIM_PROGRESS, pParent), m_strPercent("0%"), m_strFrame("Snímek 0/0")
{
}

void CAnimProgressPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_ctlProgress);
    DDX_Text(pDX, IDC_PERCENT_LABEL, m_strPercent);
    DDX_Text(pDX, IDC_FRAME_LABEL, m_strFrame);
}

void CAnimProgressPage::OnOK() {}
void CAnimProgressPage::OnCancel() {}
