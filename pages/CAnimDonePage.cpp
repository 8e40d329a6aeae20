#include "pages/CAnimDonePage.h"

CAnimDonePage::CAnimDonePage(CWnd* pParent) : CDialog(IDD_ANIM_DONE, pParent), m_bOpenResult(0), m_bStartAgain(0) {}

void CAnimDonePage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_OPEN_RESULT, m_bOpenResult);
    DDX_Check(pDX, IDC_START_AGAIN, m_bStartAgain);
}

void CAnimDonePage::OnOK() {}
void CAnimDonePage::OnCancel() {}
