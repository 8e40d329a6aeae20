#pragma once

// A device context: text output over a QPainter.

#include <memory>

#include "platform/ui/CString.h"
#include "platform/ui/WinUser.h"

class CFont;
class QFont;
class QPainter;

class CDC {
public:
    explicit CDC(QPainter* pPainter);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Returns the font selected before (the device's own font the first time).
    CFont* SelectObject(CFont* pFont);
    int SetBkMode(int nBkMode);
    COLORREF SetBkColor(COLORREF crColor);
    COLORREF SetTextColor(COLORREF crColor);
    // (x, y) is the top-left corner of the text.
    BOOL TextOut(int x, int y, const CString& str);

    QPainter* GetPainter() const { return m_pPainter; }

protected:
    void SetPainter(QPainter* pPainter);

private:
    QPainter* m_pPainter = nullptr;
    std::unique_ptr<QFont> m_pOriginalFont;
    std::unique_ptr<CFont> m_pStockFont;
    CFont* m_pSelectedFont = nullptr;
    int m_nBkMode = OPAQUE;
    COLORREF m_crBk = RGB(255, 255, 255);
    COLORREF m_crText = RGB(0, 0, 0);
};
