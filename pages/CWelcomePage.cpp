#include "pages/CWelcomePage.h"

// Qt
#include <QPainter>

// Local
#include "res/resource.h"

CWelcomePage::CWelcomePage(QWidget* pParent)
    : CTemplatePage(IDD_WELCOME, pParent), m_fontTitle(DialogUnits::ResolveFont("Arial", 36))
{
}

void CWelcomePage::paintEvent(QPaintEvent*)
{
    // The title is placed in pixels, its point at the top-left of the text:
    // the black shadow first, then the red title two pixels up and left of it.
    const QString strTitle = QStringLiteral("Plavex!");
    QPainter painter(this);
    painter.setFont(m_fontTitle);
    const int nAscent = QFontMetrics(painter.font()).ascent();
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(QPoint(150, 15 + nAscent), strTitle);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(QPoint(148, 13 + nAscent), strTitle);
}
