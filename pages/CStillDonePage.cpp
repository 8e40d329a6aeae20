#include "pages/CStillDonePage.h"

CStillDonePage::CStillDonePage(CWnd* pParent) : CDialog(IDD_STILL_DONE, pParent), m_bOpenResult(0), m_bStartAgain(0) {}

void CStillDonePage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_OPEN_RESULT, m_bOpenResult);
    DDX_Check(pDX, IDC_START_AGAIN, m_bStartAgain);
}

void CStillDonePage::OnOK() {}
void CStillDonePage::OnCancel() {}
