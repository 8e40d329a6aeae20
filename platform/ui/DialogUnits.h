#pragma once

// Dialog units of one font: a horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its height. Laying a
// template out in these units keeps its texts fitting whatever the font.

// Qt
#include <QFont>
#include <QRect>

class DialogUnits {
public:
    DialogUnits(int cxChar, int cyChar);
    static DialogUnits FromFont(const QFont& font);

    // Dialog units to pixels, rounded half away from zero as the window system rounds.
    int MapX(int x) const;
    int MapY(int y) const;
    QRect Map(int x, int y, int cx, int cy) const;

    // The installed face to use for a requested one: a face with the same
    // metrics where the desktop has one (Arial becomes Liberation Sans),
    // else its sans-serif.
    static QFont ResolveFont(const char* pszFace, int nPointSize);

private:
    int m_cxChar;
    int m_cyChar;
};
