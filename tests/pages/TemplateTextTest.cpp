// Every text of every dialog fits its control in the fonts this machine has,
// and every page fits the frame above its dividing line.

// Qt
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

// Local
#include "platform/ui/CDialogBaseUnits.h"
#include "res/resource.h"
#include "tests/pages/PageFixture.h"

namespace {

using TemplateText = PageTest;

// How wide and tall a control's text needs to be drawn, unclipped.
void ExpectFits(const DialogItem& item, QWidget* w, UINT nDialog)
{
    const QString text = QString::fromUtf8(item.text ? item.text : "");
    if (text.isEmpty())
        return;
    const QFontMetrics fm(w->font());
    const std::string where = std::to_string(nDialog) + ": " + item.text;
    if (auto* label = qobject_cast<QLabel*>(w)) {
        const bool multiLine = text.contains('\n') || w->height() >= 2 * fm.height();
        if (multiLine) {
            const QRect needed = fm.boundingRect(QRect(0, 0, w->width(), 10000), Qt::TextWordWrap, text);
            EXPECT_LE(needed.height(), w->height()) << where;
        } else {
            EXPECT_LE(fm.horizontalAdvance(text), w->width()) << where;
            EXPECT_LE(fm.height(), w->height()) << where;
        }
        EXPECT_EQ(label->text(), text);
    } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        EXPECT_LE(w->sizeHint().width(), w->width()) << where;
        EXPECT_LE(fm.height(), w->height()) << where;
    } else if (qobject_cast<QPushButton*>(w)) {
        EXPECT_LE(fm.horizontalAdvance(text) + 2 * fm.averageCharWidth(), w->width()) << where;
        EXPECT_LE(fm.height() + 4, w->height()) << where;
    } else if (qobject_cast<QGroupBox*>(w)) {
        EXPECT_LE(fm.horizontalAdvance(text) + 4 * fm.averageCharWidth(), w->width()) << where;
    }
}

TEST_F(TemplateText, EveryTextFitsItsControl)
{
    for (UINT nID : {IDD_WIZARD, IDD_WELCOME, IDD_SOURCE, IDD_ANIM_SETTINGS, IDD_ANIM_PROGRESS, IDD_ANIM_DONE,
                     IDD_STILL_SETTINGS, IDD_STILL_PROGRESS, IDD_STILL_DONE}) {
        const DialogTemplate* tmpl = AfxFindDialogTemplate(nID);
        ASSERT_NE(tmpl, nullptr) << nID;
        CDialog dlg(nID);
        ASSERT_TRUE(dlg.Create(nID, nID == IDD_WIZARD ? nullptr : &frame));
        // Controls are created in template order; match them up by position.
        const QList<QWidget*> controls = dlg.GetWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(controls.size(), static_cast<qsizetype>(tmpl->items.size())) << nID;
        for (size_t i = 0; i < tmpl->items.size(); ++i)
            ExpectFits(tmpl->items[i], controls[static_cast<qsizetype>(i)], nID);
    }
}

TEST_F(TemplateText, PagesFitTheFrameAboveItsLine)
{
    const CDialogBaseUnits units = CDialogBaseUnits::FromFont(*frame.GetDialogFont());
    const int line = units.MapY(173);
    for (UINT nID : {IDD_WELCOME, IDD_SOURCE, IDD_ANIM_SETTINGS, IDD_ANIM_PROGRESS, IDD_ANIM_DONE,
                     IDD_STILL_SETTINGS, IDD_STILL_PROGRESS, IDD_STILL_DONE}) {
        CDialog page(nID);
        ASSERT_TRUE(page.Create(nID, &frame));
        const QRect r = page.GetWidget()->geometry();
        EXPECT_EQ(r.topLeft(), QPoint(0, 0)) << nID;
        EXPECT_LE(r.bottom(), line) << nID;
        EXPECT_LE(r.right(), frame.GetWidget()->width()) << nID;
        EXPECT_FALSE(page.GetWidget()->isVisible()) << nID;
        for (QWidget* w : page.GetWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(r.contains(w->geometry().translated(r.topLeft()))) << nID;
    }
}

} // namespace
