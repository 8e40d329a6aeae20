#include "platform/ui/CInputBlock.h"

// Qt
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

CInputBlock::CInputBlock(QWidget* pWindow) : m_pWindow(pWindow) { qApp->installEventFilter(this); }

CInputBlock::~CInputBlock() { qApp->removeEventFilter(this); }

bool CInputBlock::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    switch (pEvent->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        break;
    default:
        return false;
    }
    // The window system hands input to the window, which passes it on to a widget.
    const bool bOurs = pWatched->isWidgetType() ? static_cast<QWidget*>(pWatched)->window() == m_pWindow
                                                : pWatched == m_pWindow->windowHandle();
    // A key the focused widget takes as its own is tried as no shortcut or
    // mnemonic; the key itself then stops here.
    if (bOurs && pEvent->type() == QEvent::ShortcutOverride)
        pEvent->accept();
    return bOurs;
}
