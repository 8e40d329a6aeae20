#pragma once

// While it lives, nothing the user types or clicks reaches a window's
// widgets, shown or hidden: no key (Enter, Space, Escape, Tab, a letter with
// Alt), no mouse button, wheel or drop. The window goes on painting as
// usual, and other windows (message boxes, choosers, dialogs opened
// meanwhile) answer as ever; so does the window's close box, which is the
// window system's and no input of the window.

// Qt
#include <QObject>

class QWidget;

class CInputBlock : public QObject {
public:
    explicit CInputBlock(QWidget* pWindow);
    ~CInputBlock() override;
    CInputBlock(const CInputBlock&) = delete;
    CInputBlock& operator=(const CInputBlock&) = delete;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QWidget* m_pWindow;
};
