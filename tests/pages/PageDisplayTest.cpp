// What each page holds when it is constructed and shows when first displayed.

// Qt
#include <QImage>
#include <QProgressBar>
#include <QSlider>

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

using PageDisplay = PageTest;

TEST_F(PageDisplay, SourcePageStartsOnTheAnimationWithEmptyGreyPaths)
{
    CSourcePage page;
    Show(page);
    EXPECT_TRUE(Checked(page, IDC_RADIO_FIRST));
    EXPECT_FALSE(Checked(page, IDC_RADIO_SECOND));
    EXPECT_EQ(Text(page, IDC_RADIO_FIRST), "Animaci (přechod jednoho obrázku do druhého)");
    for (int id : {IDC_PATH, IDC_SECOND_PATH}) {
        EXPECT_EQ(Text(page, id), "");
        EXPECT_FALSE(Enabled(page, id));
    }
    EXPECT_TRUE(Enabled(page, IDC_BROWSE));
    EXPECT_TRUE(Enabled(page, IDC_BROWSE_SECOND));
}

TEST_F(PageDisplay, AnimationSettingsShowDefaultsWithSizeEditsDisabled)
{
    CAnimSettingsPage page;
    Show(page);
    EXPECT_EQ(Text(page, IDC_FRAME_COUNT), "100");
    EXPECT_EQ(Text(page, IDC_FPS), "25");
    EXPECT_EQ(Text(page, IDC_WIDTH), "100");
    EXPECT_EQ(Text(page, IDC_HEIGHT), "100");
    EXPECT_EQ(Text(page, IDC_PATH), "");
    EXPECT_TRUE(Checked(page, IDC_RADIO_FIRST));
    EXPECT_FALSE(Enabled(page, IDC_WIDTH));
    EXPECT_FALSE(Enabled(page, IDC_HEIGHT));
    EXPECT_FALSE(Enabled(page, IDC_PATH));
    EXPECT_TRUE(Enabled(page, IDC_FRAME_COUNT));

    // The size edits start disabled even when the members ask for a custom size.
    CAnimSettingsPage custom;
    custom.m_nSizeMode = 1;
    Show(custom);
    EXPECT_TRUE(Checked(custom, IDC_RADIO_SECOND));
    EXPECT_FALSE(Enabled(custom, IDC_WIDTH));
}

TEST_F(PageDisplay, StillSettingsShowTheSliderInTheMiddle)
{
    CStillSettingsPage page;
    Show(page);
    ASSERT_NE(page.m_ctlRatio.GetSafeHwnd(), nullptr);
    EXPECT_EQ(page.GetDlgItem(IDC_RATIO_SLIDER), &page.m_ctlRatio);
    EXPECT_EQ(page.m_ctlRatio.GetPos(), 50);
    EXPECT_EQ(page.m_ctlRatio.GetRangeMin(), 0);
    EXPECT_EQ(page.m_ctlRatio.GetRangeMax(), 100);
    EXPECT_EQ(Text(page, IDC_RATIO_LABEL), "50:50");
    EXPECT_TRUE(Checked(page, IDC_RADIO_FIRST));
    EXPECT_EQ(Text(page, IDC_WIDTH), "100");
    EXPECT_EQ(Text(page, IDC_HEIGHT), "100");
    EXPECT_FALSE(Enabled(page, IDC_WIDTH));
    EXPECT_FALSE(Enabled(page, IDC_HEIGHT));
    EXPECT_EQ(Text(page, IDC_PATH), "");
}

TEST_F(PageDisplay, ProgressPagesStartEmptyAndTheBarTakesPercent)
{
    CAnimProgressPage anim;
    Show(anim);
    EXPECT_EQ(Text(anim, IDC_FRAME_LABEL), "Snímek 0/0");
    EXPECT_EQ(Text(anim, IDC_PERCENT_LABEL), "0%");
    ASSERT_EQ(anim.GetDlgItem(IDC_PROGRESS), &anim.m_ctlProgress);
    auto* bar = qobject_cast<QProgressBar*>(anim.m_ctlProgress.GetWidget());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    anim.m_ctlProgress.SendMessage(PBM_SETPOS, 17, 0);
    EXPECT_EQ(bar->value(), 17);

    CStillProgressPage still;
    Show(still);
    EXPECT_EQ(Text(still, IDC_PERCENT_LABEL), "0%");
    EXPECT_EQ(still.m_ctlProgress.GetPos(), 0);
}

TEST_F(PageDisplay, DonePagesStartClearAndReadTheirBoxes)
{
    CAnimDonePage anim;
    Show(anim);
    EXPECT_FALSE(Checked(anim, IDC_OPEN_RESULT));
    EXPECT_FALSE(Checked(anim, IDC_START_AGAIN));
    EXPECT_EQ(Text(anim, IDC_OPEN_RESULT), "Spustit animaci po ukončení programu");
    Click(anim, IDC_START_AGAIN);
    ASSERT_TRUE(anim.UpdateData(TRUE));
    EXPECT_EQ(anim.m_bOpenResult, 0);
    EXPECT_EQ(anim.m_bStartAgain, 1);
    anim.m_bStartAgain = 0;
    anim.UpdateData(FALSE);
    EXPECT_FALSE(Checked(anim, IDC_START_AGAIN));

    CStillDonePage still;
    Show(still);
    EXPECT_EQ(Text(still, IDC_START_AGAIN), "Vytvořit další obrázek");
    Click(still, IDC_OPEN_RESULT);
    ASSERT_TRUE(still.UpdateData(TRUE));
    EXPECT_EQ(still.m_bOpenResult, 1);
    EXPECT_EQ(still.m_bStartAgain, 0);
}

TEST_F(PageDisplay, WelcomePagePaintsARedTitleOverItsBlackShadow)
{
    CWelcomePage page;
    Show(page);
    const QImage image = page.GetWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect red, black;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p == qRgb(255, 0, 0))
                red |= QRect(x, y, 1, 1);
            else if (p == qRgb(0, 0, 0) && y < 60)
                black |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(red.isEmpty());
    ASSERT_FALSE(black.isEmpty());
    // The title's point is its top-left corner; the shadow sits 2 px right and down.
    EXPECT_GE(red.left(), 148);
    EXPECT_LT(red.left(), 148 + 10);
    EXPECT_GE(red.top(), 13);
    EXPECT_LT(red.top(), 13 + 20);
    EXPECT_EQ(black.right(), red.right() + 2);
    EXPECT_EQ(black.bottom(), red.bottom() + 2);
    // The title is tall: 36 points.
    EXPECT_GT(red.height(), 30);
    // The greeting, in dialog units, stays clear of the painted title.
    EXPECT_GT(page.GetDlgItem(-1)->GetWidget()->geometry().top(), red.bottom());
}

} // namespace
