#include "platform/ui/CPaintDC.h"

// Qt
#include <QPainter>
#include <QWidget>

// Local
#include "platform/ui/CWnd.h"

CPaintDC::CPaintDC(CWnd* pWnd) : CDC(nullptr)
{
    if (pWnd && pWnd->GetWidget()) {
        m_pOwnPainter = std::make_unique<QPainter>(pWnd->GetWidget());
        SetPainter(m_pOwnPainter.get());
    }
}

CPaintDC::~CPaintDC()
{
    SetPainter(nullptr);
    m_pOwnPainter.reset();
}
