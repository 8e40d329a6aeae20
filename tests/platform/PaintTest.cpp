// Painting text: TextOut off its point, an opaque or transparent background
// mixed up, and a missing font face left without a substitute.

#include <gtest/gtest.h>

// Qt
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QWidget>

// Local
#include "platform/ui/CDialog.h"
#include "platform/ui/CFont.h"
#include "platform/ui/CPaintDC.h"

namespace {

constexpr DialogTemplate kCanvas{903, 0, 0, 100, 60, WS_POPUP, 0, nullptr, "MS Sans Serif", 8, {}};

class CTextDialog : public CDialog {
public:
    CTextDialog() : CDialog(kCanvas) { m_font.CreatePointFont(240, "DejaVu Sans"); }
    void OnPaint()
    {
        CPaintDC dc(this);
        dc.GetPainter()->fillRect(dc.GetPainter()->window(), Qt::green);
        CFont* pOld = dc.SelectObject(&m_font);
        restored = dc.SelectObject(pOld) != &m_font ? nullptr : pOld;
        dc.SelectObject(&m_font);
        dc.SetBkMode(nBkMode);
        dc.SetTextColor(RGB(0, 0, 255));
        dc.TextOut(10, 5, "I");
        dc.SelectObject(pOld);
    }
    CFont m_font;
    int nBkMode = TRANSPARENT;
    CFont* restored = nullptr;

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTextDialog, CDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

QRect BoundsOf(const QImage& image, QRgb colour)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

TEST(Paint, TextOutPlacesTheTopLeftOfTheTextAtItsPoint)
{
    CTextDialog dlg;
    ASSERT_TRUE(dlg.Create(kCanvas.nID, nullptr));
    const QImage image = dlg.GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect glyph = BoundsOf(image, qRgb(0, 0, 255));
    ASSERT_FALSE(glyph.isEmpty());
    const QFontMetrics metrics(*dlg.m_font.GetQFont());
    // The glyph starts below y = 5 within the font's internal leading, and
    // right of x = 10 within its side bearing.
    EXPECT_GE(glyph.top(), 5);
    EXPECT_LT(glyph.top(), 5 + metrics.ascent() / 2);
    EXPECT_GE(glyph.left(), 10);
    EXPECT_LT(glyph.left(), 10 + metrics.horizontalAdvance('I'));
    // Transparent text leaves the background between the strokes.
    EXPECT_EQ(BoundsOf(image, qRgb(255, 255, 255)), QRect());
    EXPECT_NE(dlg.restored, nullptr);

    dlg.nBkMode = OPAQUE;
    const QImage opaque = dlg.GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect box = BoundsOf(opaque, qRgb(255, 255, 255));
    EXPECT_EQ(box.topLeft(), QPoint(10, 5));
    EXPECT_EQ(box.height(), metrics.height());
}

TEST(Font, MissingFacesBecomeAnInstalledSubstituteAndKeepTheirSize)
{
    EXPECT_EQ(CFont::ResolveFace("DejaVu Sans"), "DejaVu Sans");
    for (const char* face : {"Arial", "MS Sans Serif", "Žádné takové písmo", ""})
        EXPECT_TRUE(QFontDatabase::hasFamily(CFont::ResolveFace(face).GetString())) << face;
    // An unknown face falls back to the desktop's sans-serif.
    const QFont sans = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    EXPECT_EQ(CFont::ResolveFace("Žádné takové písmo"), QFontInfo(sans).family().toUtf8().constData());

    CFont font;
    EXPECT_EQ(font.GetQFont(), nullptr);
    ASSERT_TRUE(font.CreatePointFont(360, "Arial"));
    EXPECT_FALSE(font.CreatePointFont(100, "Arial"));   // one font per object
    ASSERT_NE(font.GetQFont(), nullptr);
    EXPECT_DOUBLE_EQ(font.GetQFont()->pointSizeF(), 36.0);
}

} // namespace
