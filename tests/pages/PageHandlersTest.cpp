// The pages' button handlers and their keyboard: choosers, size radios, Tab
// and the arrows over radio groups and the slider, and Enter and Escape
// staying inside the page.

// Qt
#include <QAbstractButton>
#include <QApplication>
#include <QSlider>
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
#include "tests/pages/PageFixture.h"

namespace {

using PageHandlers = PageTest;

TEST_F(PageHandlers, SourceBrowseFillsOnlyItsEditAndCancelKeepsThePath)
{
    CSourcePage page;
    Show(page);
    chooser.answers = {"/obr/les.jpg", "", "/obr/moře.bmp"};
    Click(page, IDC_BROWSE);
    EXPECT_EQ(Text(page, IDC_PATH), "/obr/les.jpg");
    EXPECT_TRUE(page.m_strFirstPath.IsEmpty());   // the member follows at the next read
    ASSERT_TRUE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_strFirstPath, "/obr/les.jpg");

    Click(page, IDC_BROWSE);   // cancelled
    EXPECT_EQ(Text(page, IDC_PATH), "/obr/les.jpg");
    ASSERT_TRUE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_strFirstPath, "/obr/les.jpg");

    Click(page, IDC_BROWSE_SECOND);
    EXPECT_EQ(Text(page, IDC_SECOND_PATH), "/obr/moře.bmp");
    EXPECT_EQ(Text(page, IDC_PATH), "/obr/les.jpg");

    ASSERT_EQ(chooser.requests.size(), 3u);
    for (const FileChooserRequest& r : chooser.requests) {
        EXPECT_TRUE(r.bOpenFileDialog);
        EXPECT_EQ(r.flags, OFN_FILEMUSTEXIST);
        EXPECT_TRUE(r.defaultExtension.IsEmpty());
        EXPECT_TRUE(r.initialFileName.IsEmpty());
        ASSERT_EQ(r.filters.size(), 1u);
        EXPECT_EQ(r.filters[0].description, "Obrázky");
        EXPECT_EQ(r.filters[0].patterns,
                  (std::vector<CString>{"*.gif", "*.jpeg", "*.jpg", "*.bmp", "*.png", "*.webp", "*.tif", "*.tiff",
                                        "*.heic", "*.heif", "*.avif", "*.wmf", "*.ico", "*.cur"}));
    }
}

TEST_F(PageHandlers, SaveChoosersOfferTheirTypeAndAddTheExtension)
{
    CAnimSettingsPage anim;
    Show(anim);
    chooser.answers = {"/video/přechod", ""};
    Click(anim, IDC_BROWSE);
    EXPECT_EQ(Text(anim, IDC_PATH), "/video/přechod.avi");
    Click(anim, IDC_BROWSE);
    EXPECT_EQ(Text(anim, IDC_PATH), "/video/přechod.avi");
    ASSERT_EQ(chooser.requests.size(), 2u);
    // The chooser always opens on "plavex", not on the current path.
    for (const FileChooserRequest& r : chooser.requests) {
        EXPECT_FALSE(r.bOpenFileDialog);
        EXPECT_EQ(r.defaultExtension, "avi");
        EXPECT_EQ(r.initialFileName, "plavex");
        EXPECT_EQ(r.flags, OFN_OVERWRITEPROMPT); // the chooser asks before replacing a file
        ASSERT_EQ(r.filters.size(), 1u);
        EXPECT_EQ(r.filters[0].description, "Avi soubory (*.avi)");
        EXPECT_EQ(r.filters[0].patterns, std::vector<CString>{"*.avi"});
    }

    CStillSettingsPage still;
    Show(still);
    // A path longer than its edit shows its start.
    const std::string strLong = "/obr/" + std::string(300, 'a') + "/mix.bmp";
    chooser.answers = {CString(strLong)};
    Click(still, IDC_BROWSE);
    EXPECT_EQ(Text(still, IDC_PATH).toStdString(), strLong);
    EXPECT_EQ(Edit(still, IDC_PATH)->cursorPosition(), 0);
    const FileChooserRequest& r = chooser.requests.back();
    EXPECT_FALSE(r.bOpenFileDialog);
    EXPECT_EQ(r.defaultExtension, "bmp");
    EXPECT_EQ(r.initialFileName, "plavex");
    EXPECT_EQ(r.flags, OFN_OVERWRITEPROMPT);
    EXPECT_EQ(r.filters[0].description, "Obrázky BMP (*.bmp)");
    EXPECT_TRUE(still.m_strOutputPath.IsEmpty());
}

TEST_F(PageHandlers, SizeRadiosOnlyEnableAndDisableTheEdits)
{
    CAnimSettingsPage anim;
    CStillSettingsPage still;
    for (CDialog* page : {static_cast<CDialog*>(&anim), static_cast<CDialog*>(&still)}) {
        Show(*page);
        Click(*page, IDC_RADIO_SECOND);
        EXPECT_TRUE(Enabled(*page, IDC_WIDTH));
        EXPECT_TRUE(Enabled(*page, IDC_HEIGHT));
        Type(*page, IDC_HEIGHT, "77");
        Click(*page, IDC_RADIO_FIRST);
        EXPECT_FALSE(Enabled(*page, IDC_WIDTH));
        EXPECT_FALSE(Enabled(*page, IDC_HEIGHT));
        EXPECT_EQ(Text(*page, IDC_HEIGHT), "77");
    }
    EXPECT_EQ(anim.m_nSizeMode, 0);
    EXPECT_EQ(anim.m_nHeight, 100);
    EXPECT_EQ(still.m_nHeight, 100);
}

TEST_F(PageHandlers, TabReachesEachRadioGroupOnItsCheckedButtonAndArrowsMoveWithin)
{
    CSourcePage source;
    CStillSettingsPage still;
    // The identifier of the focused control of the page; -1 outside it (the
    // frame's buttons share identifiers with the page's).
    const auto focused = [](CDialog& page) {
        QWidget* pFocus = QApplication::focusWidget();
        return pFocus && page.GetWidget()->isAncestorOf(pFocus) ? pFocus->property("_plavex_id").toInt() : -1;
    };
    const auto key = [](Qt::Key nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), nKey, modifiers);
    };
    for (CDialog* page : {static_cast<CDialog*>(&source), static_cast<CDialog*>(&still)}) {
        Show(*page);
        page->GetDlgItem(IDC_BROWSE)->SetFocus();
        if (page == &source) {
            key(Qt::Key_Tab);
            EXPECT_EQ(focused(*page), IDC_BROWSE_SECOND);
        }
        key(Qt::Key_Tab);
        EXPECT_EQ(focused(*page), IDC_RADIO_FIRST);
        key(Qt::Key_Down); // moves and chooses, as a click would
        EXPECT_EQ(focused(*page), IDC_RADIO_SECOND);
        EXPECT_TRUE(Checked(*page, IDC_RADIO_SECOND));
        EXPECT_FALSE(Checked(*page, IDC_RADIO_FIRST));
        if (page == &still) {
            EXPECT_TRUE(Enabled(still, IDC_WIDTH)); // the handler ran, as for a click
        }
        // Back and forth through the group lands on the newly checked button.
        key(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(focused(*page), page == &source ? IDC_BROWSE_SECOND : IDC_BROWSE);
        key(Qt::Key_Tab);
        EXPECT_EQ(focused(*page), IDC_RADIO_SECOND);
        key(Qt::Key_Up);
        EXPECT_TRUE(Checked(*page, IDC_RADIO_FIRST));
        page->ShowWindow(SW_HIDE);
    }
    EXPECT_FALSE(Enabled(still, IDC_WIDTH));
    ASSERT_TRUE(source.UpdateData(TRUE));
    EXPECT_EQ(source.m_nMode, 0);

    // The slider: arrows by 1, pages by a fifth, Home and End to the ends;
    // the label follows every step.
    still.ShowWindow(SW_SHOW);
    auto* slider = qobject_cast<QSlider*>(still.GetDlgItem(IDC_RATIO_SLIDER)->GetWidget());
    slider->setFocus();
    const std::pair<Qt::Key, const char*> steps[] = {{Qt::Key_Right, "49:51"}, {Qt::Key_PageUp, "29:71"},
                                                 {Qt::Key_PageDown, "49:51"}, {Qt::Key_End, "0:100"},
                                                 {Qt::Key_Home, "100:0"}};
    for (const auto& [nKey, pszLabel] : steps) {
        key(nKey);
        EXPECT_EQ(Text(still, IDC_RATIO_LABEL), pszLabel) << nKey;
    }
}

TEST_F(PageHandlers, EnterAndEscapeInsideAPageDoNothing)
{
    CWelcomePage welcome;
    CSourcePage source;
    CAnimSettingsPage anim;
    CAnimProgressPage animProgress;
    CAnimDonePage animDone;
    CStillSettingsPage still;
    CStillProgressPage stillProgress;
    CStillDonePage stillDone;
    CDialog* pages[] = {&welcome, &source, &anim, &animProgress, &animDone, &still, &stillProgress, &stillDone};
    for (CDialog* page : pages) {
        Show(*page);
        // The first control that can take the focus, else the page itself.
        QWidget* target = page->GetWidget();
        for (QWidget* w : page->GetWidget()->findChildren<QWidget*>())
            if (w->isEnabled() && w->focusPolicy() != Qt::NoFocus && !qobject_cast<QAbstractButton*>(w)) {
                target = w;
                break;
            }
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_TRUE(page->IsWindowVisible()) << page->GetTemplateID();
        page->ShowWindow(SW_HIDE);
    }
    EXPECT_EQ(frame.nOK, 0);
    EXPECT_EQ(frame.nCancel, 0);
    EXPECT_TRUE(frame.IsWindowVisible());
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(chooser.requests.empty());
}

} // namespace
