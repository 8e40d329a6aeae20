#include "platform/ui/CDC.h"

// Qt
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

// Local
#include "platform/ui/CFont.h"

namespace {

QColor ToQColor(COLORREF cr) { return QColor(cr & 0xFF, (cr >> 8) & 0xFF, (cr >> 16) & 0xFF); }

} // namespace

CDC::CDC(QPainter* pPainter) : m_pStockFont(std::make_unique<CFont>()) { SetPainter(pPainter); }

CDC::~CDC() = default;

void CDC::SetPainter(QPainter* pPainter)
{
    m_pPainter = pPainter;
    m_pOriginalFont = std::make_unique<QFont>(pPainter ? pPainter->font() : QFont());
}

CFont* CDC::SelectObject(CFont* pFont)
{
    CFont* pPrev = m_pSelectedFont ? m_pSelectedFont : m_pStockFont.get();
    if (!pFont)
        return nullptr;
    m_pSelectedFont = pFont;
    if (m_pPainter) {
        const QFont* pQFont = pFont->GetQFont();
        m_pPainter->setFont(pQFont ? *pQFont : *m_pOriginalFont);
    }
    return pPrev;
}

int CDC::SetBkMode(int nBkMode)
{
    const int nPrev = m_nBkMode;
    m_nBkMode = nBkMode;
    return nPrev;
}

COLORREF CDC::SetBkColor(COLORREF crColor)
{
    const COLORREF prev = m_crBk;
    m_crBk = crColor;
    return prev;
}

COLORREF CDC::SetTextColor(COLORREF crColor)
{
    const COLORREF prev = m_crText;
    m_crText = crColor;
    return prev;
}

BOOL CDC::TextOut(int x, int y, const CString& str)
{
    if (!m_pPainter || !m_pPainter->isActive())
        return FALSE;
    const QString text = QString::fromUtf8(str.GetString());
    const QFontMetrics metrics(m_pPainter->font());
    if (m_nBkMode == OPAQUE)
        m_pPainter->fillRect(x, y, metrics.horizontalAdvance(text), metrics.height(), ToQColor(m_crBk));
    m_pPainter->setPen(ToQColor(m_crText));
    m_pPainter->drawText(QPoint(x, y + metrics.ascent()), text);
    return TRUE;
}
