#pragma once

// Painting on a window from its WM_PAINT handler.

#include <memory>

#include "platform/ui/CDC.h"

class CWnd;

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

private:
    std::unique_ptr<QPainter> m_pOwnPainter;
};
