#include "pages/CProgressPage.h"

// Qt
#include <QLabel>
#include <QProgressBar>

// Local
#include "res/resource.h"

CProgressPage::CProgressPage(int nIDTemplate, QWidget* pParent)
    : CTemplatePage(nIDTemplate, pParent), m_ctlProgress(m_items.Item<QProgressBar>(IDC_PROGRESS)),
      m_pPercent(m_items.Item<QLabel>(IDC_PERCENT_LABEL)), m_pFrame(m_items.Item<QLabel>(IDC_FRAME_LABEL))
{
    UpdateData(false);
}

void CProgressPage::DoDataExchange(CDataExchange& dx)
{
    dx.Text(m_pPercent, m_strPercent);
    if (m_pFrame)
        dx.Text(m_pFrame, m_strFrame);
}

void CProgressPage::ShowProgress(int nDone, int nTotal)
{
    // In percent, division first, each step in double and truncated.
    const double dShare = nTotal > 0 ? static_cast<double>(nDone) / static_cast<double>(nTotal) : 0.0;
    const int nPercent = static_cast<int>(dShare * 100.0);
    m_ctlProgress->setValue(nPercent);
    m_strPercent = QStringLiteral("%1%").arg(nPercent);
    m_strFrame = QStringLiteral("%1/%2").arg(nDone).arg(nTotal);
    UpdateData(false);
}

void CProgressPage::Reset() { ShowProgress(0, 0); }
