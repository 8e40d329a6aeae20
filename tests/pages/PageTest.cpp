// The eight pages on real widgets: a field read in the wrong order or range,
// a wrong text or focus after a failed read, choosers asked for the wrong
// files, keys that leave a page, a text clipped by its control, a page that
// overlaps the frame's buttons, and the welcome title painted out of place.

#include <array>

// Qt
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// Local
#include "pages/CAnimDonePage.h"
#include "pages/CAnimProgressPage.h"
#include "pages/CAnimSettingsPage.h"
#include "pages/CSourcePage.h"
#include "pages/CStillDonePage.h"
#include "pages/CStillProgressPage.h"
#include "pages/CStillSettingsPage.h"
#include "pages/CWelcomePage.h"
#include "platform/ui/CDialogBaseUnits.h"
#include "res/resource.h"
#include "tests/pages/PageFixture.h"

namespace {

const char* const kNotANumber = "Zadejte celé číslo.";
const char* const kOutOfRange = "Zadejte celé číslo od 1 do 1000000.";

// One read of a settings page: the fields typed (nullptr leaves the shown
// value), then either the sides read or the message and the field focused.
struct Exchange {
    const char* m_pszName;
    bool m_bStill;
    int m_nSizeMode;  // 2: custom while typing, automatic when read.
    const char* m_pszWidth;
    const char* m_pszHeight;
    const char* m_pszFps = nullptr;
    const char* m_pszFrames = nullptr;
    const char* m_pszMessage = nullptr;
    int m_nFocus = 0;
};

void PrintTo(const Exchange& e, std::ostream* pStream) { *pStream << e.m_pszName; }

class PageExchangeTest : public PageTest, public testing::WithParamInterface<Exchange> {};

TEST_P(PageExchangeTest, ReadsTheFieldsOrStopsAtTheFirstBadOne)
{
    const Exchange& e = GetParam();
    CAnimSettingsPage anim;
    CStillSettingsPage still;
    CDialog& page = e.m_bStill ? static_cast<CDialog&>(still) : anim;
    Show(page);
    if (e.m_nSizeMode != 0)
        Click(page, IDC_RADIO_SECOND);
    for (const auto& [nID, pszText] : {std::pair{IDC_WIDTH, e.m_pszWidth}, {IDC_HEIGHT, e.m_pszHeight},
                                       {IDC_FPS, e.m_pszFps}, {IDC_FRAME_COUNT, e.m_pszFrames}})
        if (pszText)
            Type(page, nID, pszText);
    if (e.m_nSizeMode == 2)
        Click(page, IDC_RADIO_FIRST);
    page.SetDlgItemText(IDC_PATH, "/tmp/výstup");

    const int nWidth = e.m_bStill ? still.m_nWidth : anim.m_nWidth;
    EXPECT_EQ(page.UpdateData(TRUE) != FALSE, e.m_pszMessage == nullptr);
    const CString& strPath = e.m_bStill ? still.m_strOutputPath : anim.m_strOutputPath;
    if (!e.m_pszMessage) {
        EXPECT_TRUE(boxes.calls.empty());
        EXPECT_EQ(e.m_bStill ? still.m_nSizeMode : anim.m_nSizeMode, e.m_nSizeMode == 1 ? 1 : 0);
        EXPECT_EQ(e.m_bStill ? still.m_nWidth : anim.m_nWidth, e.m_pszWidth ? atoi(e.m_pszWidth) : nWidth);
        EXPECT_EQ(strPath, "/tmp/výstup");
        EXPECT_TRUE(e.m_bStill || anim.m_nFrameCount == (e.m_pszFrames ? atoi(e.m_pszFrames) : 100));
        return;
    }
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, e.m_pszMessage);
    EXPECT_EQ(boxes.calls[0].nType, MB_ICONEXCLAMATION);
    EXPECT_TRUE(!Edit(page, e.m_nFocus)->isEnabled() || QApplication::focusWidget() == Edit(page, e.m_nFocus));
    EXPECT_EQ(Edit(page, e.m_nFocus)->selectedText(), Edit(page, e.m_nFocus)->text());
    // The animation page reads its path after every number, so it stays unread.
    EXPECT_TRUE(e.m_bStill || strPath.IsEmpty());
}

const Exchange kExchanges[] = {
    {"AnimEveryField", false, 1, "640", "480", "1", "1000000"},
    {"AnimEmptyFrameCount", false, 1, "320", nullptr, "30", "", kNotANumber, IDC_FRAME_COUNT},
    {"AnimRateZero", false, 0, nullptr, nullptr, "0", "5", kOutOfRange, IDC_FPS},
    {"AnimRateAboveTheLimit", false, 0, nullptr, nullptr, "1000001", nullptr, kOutOfRange, IDC_FPS},
    {"AnimRateBeyondInt", false, 0, nullptr, nullptr, "99999999999", nullptr, kNotANumber, IDC_FPS},
    {"AnimHeightBeforeWidth", false, 1, "0", "", nullptr, nullptr, kNotANumber, IDC_HEIGHT},
    {"AnimWidthZeroEvenWhenAutomatic", false, 2, "0", nullptr, nullptr, nullptr, kOutOfRange, IDC_WIDTH},
    {"StillWidthZeroWhenAutomatic", true, 2, "0", nullptr},
    {"StillCustomSize", true, 1, "8", "3"},
    {"StillEmptyHeight", true, 1, nullptr, "", nullptr, nullptr, kNotANumber, IDC_HEIGHT},
};
INSTANTIATE_TEST_SUITE_P(Rows, PageExchangeTest, testing::ValuesIn(kExchanges),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST_F(PageTest, SliderLabelFollowsThePositionAsFirstToSecond)
{
    CStillSettingsPage page;
    Show(page);
    EXPECT_EQ(Text(page, IDC_RATIO_LABEL), "50:50");
    for (const auto& [nPos, pszLabel] : {std::pair{0, "100:0"}, {30, "70:30"}, {100, "0:100"}}) {
        page.m_ctlRatio.SetPos(nPos);
        EXPECT_EQ(Text(page, IDC_RATIO_LABEL), pszLabel);
    }
    // By keyboard too, and the member follows at the next read.
    page.m_ctlRatio.GetWidget()->setFocus();
    QTest::keyClick(page.m_ctlRatio.GetWidget(), Qt::Key_Home);
    QTest::keyClick(page.m_ctlRatio.GetWidget(), Qt::Key_Right);
    EXPECT_EQ(Text(page, IDC_RATIO_LABEL), "99:1");
    ASSERT_TRUE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_strRatio, "99:1");
    // Showing the members again leaves the slider where it is.
    page.UpdateData(FALSE);
    EXPECT_EQ(page.m_ctlRatio.GetPos(), 1);
}

TEST_F(PageTest, ChoosersAskForTheirFilesAndFillOnlyTheirEdit)
{
    CSourcePage source;
    Show(source);
    chooser.answers = {"/obr/les.jpg", "", "/obr/moře.bmp"};
    Click(source, IDC_BROWSE);
    Click(source, IDC_BROWSE);  // Cancelled: the path stays.
    Click(source, IDC_BROWSE_SECOND);
    EXPECT_EQ(Text(source, IDC_PATH) + "|" + Text(source, IDC_SECOND_PATH), "/obr/les.jpg|/obr/moře.bmp");
    ASSERT_TRUE(source.UpdateData(TRUE));
    EXPECT_EQ(source.m_strFirstPath, "/obr/les.jpg");
    for (const FileChooserRequest& r : chooser.requests) {
        EXPECT_TRUE(r.bOpenFileDialog);
        EXPECT_EQ(r.flags, OFN_FILEMUSTEXIST);
        ASSERT_EQ(r.filters.size(), 1u);
        EXPECT_EQ(r.filters[0].description, "Obrázky");
        EXPECT_EQ(r.filters[0].patterns, (std::vector<CString>{"*.gif", "*.jpeg", "*.jpg", "*.bmp", "*.png", "*.webp", "*.tif",
                                                               "*.tiff", "*.heic", "*.heif", "*.avif", "*.wmf", "*.ico", "*.cur"}));
    }

    // The save choosers open on "plavex", not on the current path, ask before
    // replacing a file, add their extension, and show a long path's start.
    CAnimSettingsPage anim;
    CStillSettingsPage still;
    for (const auto& [pPage, pszExt, pszFilter] : {std::tuple<CDialog*, const char*, const char*>{&anim, "avi", "Avi soubory (*.avi)"},
                                                    {&still, "bmp", "Obrázky BMP (*.bmp)"}}) {
        Show(*pPage);
        const std::string strLong = "/video/" + std::string(300, 'a') + "/přechod";
        chooser.answers = {CString(strLong), ""};
        Click(*pPage, IDC_BROWSE);
        Click(*pPage, IDC_BROWSE);
        EXPECT_EQ(Text(*pPage, IDC_PATH).toStdString(), strLong + "." + pszExt);
        EXPECT_EQ(Edit(*pPage, IDC_PATH)->cursorPosition(), 0);
        const FileChooserRequest& r = chooser.requests.back();
        EXPECT_FALSE(r.bOpenFileDialog);
        EXPECT_EQ(r.defaultExtension, pszExt);
        EXPECT_EQ(r.initialFileName, "plavex");
        EXPECT_EQ(r.flags, OFN_OVERWRITEPROMPT);
        EXPECT_EQ(r.filters.at(0).description, pszFilter);
        EXPECT_EQ(r.filters.at(0).patterns, std::vector<CString>{CString("*.") + pszExt});
        // The size radios only enable and disable the edits; the edits start disabled.
        EXPECT_FALSE(Enabled(*pPage, IDC_WIDTH));
        Click(*pPage, IDC_RADIO_SECOND);
        EXPECT_TRUE(Enabled(*pPage, IDC_WIDTH) && Enabled(*pPage, IDC_HEIGHT));
        Type(*pPage, IDC_HEIGHT, "-7a7");  // The size edits take digits only.
        Click(*pPage, IDC_RADIO_FIRST);
        EXPECT_FALSE(Enabled(*pPage, IDC_WIDTH) || Enabled(*pPage, IDC_HEIGHT));
        EXPECT_EQ(Text(*pPage, IDC_HEIGHT), "77");
    }
}

TEST_F(PageTest, TabReachesEachRadioGroupOnItsCheckedButtonAndArrowsMoveWithin)
{
    CSourcePage source;
    CStillSettingsPage still;
    // The focused control of the page, -1 outside it (the frame's buttons share identifiers).
    const auto focused = [](CDialog& page) {
        QWidget* pFocus = QApplication::focusWidget();
        return pFocus && page.GetWidget()->isAncestorOf(pFocus) ? pFocus->property("_plavex_id").toInt() : -1;
    };
    const auto key = [](Qt::Key nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), nKey, modifiers);
    };
    for (CDialog* pPage : {static_cast<CDialog*>(&source), static_cast<CDialog*>(&still)}) {
        Show(*pPage);
        pPage->GetDlgItem(pPage == &source ? IDC_BROWSE_SECOND : IDC_BROWSE)->SetFocus();
        key(Qt::Key_Tab);
        EXPECT_EQ(focused(*pPage), IDC_RADIO_FIRST);
        key(Qt::Key_Down);  // Moves and chooses, as a click would, and the handler runs.
        EXPECT_EQ(focused(*pPage), IDC_RADIO_SECOND);
        EXPECT_TRUE(Checked(*pPage, IDC_RADIO_SECOND) && !Checked(*pPage, IDC_RADIO_FIRST));
        EXPECT_TRUE(pPage == &source || Enabled(still, IDC_WIDTH));
        // Back and forth through the group lands on the newly checked button.
        key(Qt::Key_Tab, Qt::ShiftModifier);
        key(Qt::Key_Tab);
        EXPECT_EQ(focused(*pPage), IDC_RADIO_SECOND);
        key(Qt::Key_Up);
        EXPECT_TRUE(Checked(*pPage, IDC_RADIO_FIRST));
    }
    // The slider: arrows by 1, pages by a fifth, Home and End to the ends.
    still.m_ctlRatio.GetWidget()->setFocus();
    for (const auto& [nKey, pszLabel] : {std::pair{Qt::Key_Right, "49:51"}, {Qt::Key_PageUp, "29:71"},
                                         {Qt::Key_PageDown, "49:51"}, {Qt::Key_End, "0:100"}, {Qt::Key_Home, "100:0"}}) {
        key(nKey);
        EXPECT_EQ(Text(still, IDC_RATIO_LABEL), pszLabel) << nKey;
    }
}

TEST_F(PageTest, EnterAndEscapeInsideAPageDoNothingAndEveryTextFits)
{
    CWelcomePage welcome;
    CSourcePage source;
    CAnimSettingsPage anim;
    CAnimProgressPage animProgress;
    CAnimDonePage animDone;
    CStillSettingsPage still;
    CStillProgressPage stillProgress;
    CStillDonePage stillDone;
    const int nLine = CDialogBaseUnits::FromFont(*frame.GetDialogFont()).MapY(173);
    for (CDialog* pPage : std::array<CDialog*, 9>{&frame, &welcome, &source, &anim, &animProgress, &animDone, &still,
                                                  &stillProgress, &stillDone}) {
        const UINT nID = pPage->GetTemplateID();
        if (pPage != &frame) {
            Show(*pPage);
            // Every page sits at the top left, above the frame's dividing line.
            const QRect r = pPage->GetWidget()->geometry();
            EXPECT_EQ(r.topLeft(), QPoint(0, 0)) << nID;
            EXPECT_LE(r.bottom(), nLine) << nID;
            EXPECT_LE(r.right(), frame.GetWidget()->width()) << nID;
        }
        // Every text fits its control; controls come in template order.
        const DialogTemplate* pTemplate = AfxFindDialogTemplate(nID);
        const QList<QWidget*> controls = pPage->GetWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(controls.size(), static_cast<qsizetype>(pTemplate->items.size())) << nID;
        for (std::size_t i = 0; i < pTemplate->items.size(); ++i) {
            QWidget* w = controls[static_cast<qsizetype>(i)];
            const QString strText = QString::fromUtf8(pTemplate->items[i].text ? pTemplate->items[i].text : "");
            const QFontMetrics fm(w->font());
            const bool bMultiLine = strText.contains('\n') || w->height() >= 2 * fm.height();
            int nNeeded = fm.horizontalAdvance(strText);
            if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
                nNeeded = w->sizeHint().width();
            else if (qobject_cast<QPushButton*>(w) || qobject_cast<QGroupBox*>(w))
                nNeeded += (qobject_cast<QGroupBox*>(w) ? 4 : 2) * fm.averageCharWidth();
            if (strText.isEmpty() || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w)))
                continue;
            if (bMultiLine && qobject_cast<QLabel*>(w))
                EXPECT_LE(fm.boundingRect(QRect(0, 0, w->width(), 10000), Qt::TextWordWrap, strText).height(), w->height()) << nID;
            else
                EXPECT_LE(nNeeded, w->width()) << nID << ": " << strText.toStdString();
            EXPECT_TRUE(pPage->GetWidget()->rect().contains(w->geometry())) << nID;
        }
        if (pPage == &frame)
            continue;
        // Enter and Escape on the first control that takes the focus, else on the page.
        QWidget* pTarget = pPage->GetWidget();
        for (QWidget* w : pPage->GetWidget()->findChildren<QWidget*>())
            if (w->isEnabled() && w->focusPolicy() != Qt::NoFocus && !qobject_cast<QAbstractButton*>(w)) {
                pTarget = w;
                break;
            }
        pTarget->setFocus();
        QTest::keyClick(pTarget, Qt::Key_Return);
        QTest::keyClick(pTarget, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(pTarget, Qt::Key_Escape);
        EXPECT_TRUE(pPage->IsWindowVisible()) << nID;
        pPage->ShowWindow(SW_HIDE);
    }
    EXPECT_EQ(frame.nOK + frame.nCancel, 0);
    EXPECT_TRUE(frame.IsWindowVisible());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(PageTest, WelcomePagePaintsARedTitleOverItsBlackShadow)
{
    CWelcomePage page;
    Show(page);
    const QImage image = page.GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect red, black;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 0, 0))
                red |= QRect(x, y, 1, 1);
            else if (image.pixel(x, y) == qRgb(0, 0, 0) && y < 60)
                black |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(red.isEmpty() || black.isEmpty());
    // The title's point is its top-left corner; the shadow sits 2 px right and
    // down; the title is 36 points tall; the greeting stays clear of it.
    EXPECT_TRUE(red.left() >= 148 && red.left() < 158 && red.top() >= 13 && red.top() < 33) << red.left() << "," << red.top();
    EXPECT_EQ(black.bottomRight(), red.bottomRight() + QPoint(2, 2));
    EXPECT_GT(red.height(), 30);
    EXPECT_GT(page.GetDlgItem(-1)->GetWidget()->geometry().top(), red.bottom());
}

} // namespace
