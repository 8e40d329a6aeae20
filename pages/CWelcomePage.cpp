#include "pages/CWelcomePage.h"

// Local
#include "platform/ui/CPaintDC.h"

BEGIN_MESSAGE_MAP(CWelcomePage, CDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CWelcomePage::CWelcomePage(CWnd* pParent) : CDialog(IDD_WELCOME, pParent)
{
    m_fontTitle.CreatePointFont(360, "Arial");
}

void CWelcomePage::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

void CWelcomePage::OnOK() {}
void CWelcomePage::OnCancel() {}

void CWelcomePage::OnPaint()
{
    CPaintDC dc(this);
    const CString title = "Plavex!";
    CFont* pOldFont = dc.SelectObject(&m_fontTitle);
    dc.SetBkMode(TRANSPARENT);
    // The black shadow first, then the red title two pixels up and left of it.
    dc.SetTextColor(RGB(0, 0, 0));
    dc.TextOut(150, 15, title);
    dc.SetTextColor(RGB(255, 0, 0));
    dc.TextOut(148, 13, title);
    dc.SelectObject(pOldFont);
}
