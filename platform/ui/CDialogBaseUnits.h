#pragma once

// Dialog units of one font: a horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its height. Laying a
// template out in these units keeps its texts fitting whatever the font.

#include "platform/win/WinTypes.h"

class QFont;

class CDialogBaseUnits {
public:
    CDialogBaseUnits(int cxChar, int cyChar);
    static CDialogBaseUnits FromFont(const QFont& font);

    int MapX(int x) const;   // dialog units to pixels, rounded to nearest
    int MapY(int y) const;
    void MapRect(RECT* lpRect) const;

    int GetCharWidth() const { return m_cxChar; }
    int GetCharHeight() const { return m_cyChar; }

private:
    int m_cxChar;
    int m_cyChar;
};
