// The pages' button handlers and their keyboard: choosers, size radios, and
// Enter and Escape staying inside the page.

// Qt
#include <QAbstractButton>
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
        EXPECT_EQ(r.flags, 0u);
        ASSERT_EQ(r.filters.size(), 1u);
        EXPECT_EQ(r.filters[0].description, "Avi soubory (*.avi)");
        EXPECT_EQ(r.filters[0].patterns, std::vector<CString>{"*.avi"});
    }

    CStillSettingsPage still;
    Show(still);
    chooser.answers = {"/obr/mix.bmp"};
    Click(still, IDC_BROWSE);
    EXPECT_EQ(Text(still, IDC_PATH), "/obr/mix.bmp");
    const FileChooserRequest& r = chooser.requests.back();
    EXPECT_FALSE(r.bOpenFileDialog);
    EXPECT_EQ(r.defaultExtension, "bmp");
    EXPECT_EQ(r.initialFileName, "plavex");
    EXPECT_EQ(r.flags, 0u);
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
