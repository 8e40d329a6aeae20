#include "pages/CStillProgressPage.h"

CStillProgressPage::CStillProgressPage(CWnd* pParent) : CDialog(IDD_STILL_PROGRESS, pParent), m_strPercent("0%") {}

void CStillProgressPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_ctlProgress);
    DDX_Text(pDX, IDC_PERCENT_LABEL, m_strPercent);
}

void CStillProgressPage::OnOK() {}
void CStillProgressPage::OnCancel() {}
