#include "platform/ui/CDialogBaseUnits.h"

#include <algorithm>
#include <cstdint>

// Qt
#include <QFont>
#include <QFontMetrics>

namespace {

// a * b / c rounded half away from zero, as the window system rounds.
int MulDiv(int a, int b, int c)
{
    const std::int64_t n = static_cast<std::int64_t>(a) * b;
    const std::int64_t q = n >= 0 ? (n + c / 2) / c : -((-n + c / 2) / c);
    return static_cast<int>(q);
}

} // namespace

CDialogBaseUnits::CDialogBaseUnits(int cxChar, int cyChar)
    : m_cxChar(std::max(cxChar, 1)), m_cyChar(std::max(cyChar, 1))
{
}

CDialogBaseUnits CDialogBaseUnits::FromFont(const QFont& font)
{
    // The average width is taken over the 52 Latin letters and rounded to
    // the nearest pixel, the way the window system measures a dialog font.
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    return CDialogBaseUnits((width / 26 + 1) / 2, metrics.height());
}

int CDialogBaseUnits::MapX(int x) const { return MulDiv(x, m_cxChar, 4); }
int CDialogBaseUnits::MapY(int y) const { return MulDiv(y, m_cyChar, 8); }

void CDialogBaseUnits::MapRect(RECT* lpRect) const
{
    if (!lpRect)
        return;
    lpRect->left = MapX(lpRect->left);
    lpRect->right = MapX(lpRect->right);
    lpRect->top = MapY(lpRect->top);
    lpRect->bottom = MapY(lpRect->bottom);
}
