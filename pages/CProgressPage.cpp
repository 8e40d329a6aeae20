#include "pages/CProgressPage.h"

#include <utility>

// Qt
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>

// Local
#include "res/resource.h"

namespace {

// One refresh of a 60 Hz display. Painting the page takes a fraction of a
// millisecond, which a render reporting hundreds of frames a second would
// otherwise spend on every frame, on a core its workers need.
constexpr qint64 kPaintIntervalMs = 16;

} // namespace

CProgressPage::CProgressPage(int nIDTemplate, QWidget* pParent)
    : CTemplatePage(nIDTemplate, pParent), m_ctlProgress(m_items.Item<QProgressBar>(IDC_PROGRESS)),
      m_pPercent(m_items.Item<QLabel>(IDC_PERCENT_LABEL)), m_pFrame(m_items.Item<QLabel>(IDC_FRAME_LABEL))
{
    m_paintDue.setSingleShot(true);
    m_paintDue.setTimerType(Qt::PreciseTimer);
    connect(&m_paintDue, &QTimer::timeout, this, &CProgressPage::Paint);
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

void CProgressPage::HoldPainting(bool bHold)
{
    m_paintDue.stop();
    if (m_pHeldWindow)
        m_pHeldWindow->removeEventFilter(this);
    m_pHeldWindow = bHold ? window() : nullptr;
    if (m_pHeldWindow)
        m_pHeldWindow->installEventFilter(this);
    // The window as it stands when the render starts, and the last report
    // when it ends.
    Paint();
}

bool CProgressPage::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    // Qt paints a window when it takes this request, which every change of a
    // control sends (the bar's at once); what changed meanwhile stays marked
    // and is painted with the next request let through.
    if (pWatched != m_pHeldWindow || pEvent->type() != QEvent::UpdateRequest)
        return false;
    const qint64 nSince = m_sincePaint.elapsed();
    if (nSince >= kPaintIntervalMs) {
        m_sincePaint.start();
        return false;
    }
    if (!m_paintDue.isActive())
        m_paintDue.start(static_cast<int>(kPaintIntervalMs - nSince));
    return true;
}

void CProgressPage::Paint()
{
    // This request goes through whatever the time.
    QWidget* pHeld = std::exchange(m_pHeldWindow, nullptr);
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(window(), &request);
    m_pHeldWindow = pHeld;
    m_sincePaint.start();
}
