#include "platform/ui/DialogUnits.h"

#include <algorithm>
#include <cstdint>

// Qt
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

namespace {

// a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c)
{
    const std::int64_t n = static_cast<std::int64_t>(a) * b;
    const std::int64_t q = n >= 0 ? (n + c / 2) / c : -((-n + c / 2) / c);
    return static_cast<int>(q);
}

} // namespace

DialogUnits::DialogUnits(int cxChar, int cyChar) : m_cxChar(std::max(cxChar, 1)), m_cyChar(std::max(cyChar, 1)) {}

DialogUnits DialogUnits::FromFont(const QFont& font)
{
    // The average width is taken over the 52 Latin letters and rounded to
    // the nearest pixel, the way the window system measures a dialog font.
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    return DialogUnits((width / 26 + 1) / 2, metrics.height());
}

int DialogUnits::MapX(int x) const { return MulDiv(x, m_cxChar, 4); }
int DialogUnits::MapY(int y) const { return MulDiv(y, m_cyChar, 8); }

QRect DialogUnits::Map(int x, int y, int cx, int cy) const { return QRect(MapX(x), MapY(y), MapX(cx), MapY(cy)); }

QFont DialogUnits::ResolveFont(const char* pszFace, int nPointSize)
{
    QString strFace = QString::fromUtf8(pszFace ? pszFace : "");
    if (strFace.isEmpty() || !QFontDatabase::hasFamily(strFace)) {
        QFont probe(strFace.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family() : strFace);
        probe.setStyleHint(QFont::SansSerif);
        strFace = QFontInfo(probe).family();
    }
    QFont font(strFace);
    font.setPointSize(nPointSize);
    return font;
}
