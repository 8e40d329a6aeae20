// Reading the settings pages: what fails, where the focus goes and what the
// members hold afterwards.

// Qt
#include <QApplication>
#include <QTest>

// Local
#include "pages/CAnimSettingsPage.h"
#include "pages/CSourcePage.h"
#include "pages/CStillSettingsPage.h"
#include "tests/pages/PageFixture.h"

namespace {

using PageExchange = PageTest;

TEST_F(PageExchange, AnimationSettingsReadEveryFieldInOrder)
{
    CAnimSettingsPage page;
    Show(page);
    Click(page, IDC_RADIO_SECOND);
    Type(page, IDC_WIDTH, "640");
    Type(page, IDC_HEIGHT, "480");
    Type(page, IDC_FPS, "1");
    Type(page, IDC_FRAME_COUNT, "1000000");
    page.SetDlgItemText(IDC_PATH, "/tmp/film.avi");
    ASSERT_TRUE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_nSizeMode, 1);
    EXPECT_EQ(page.m_nWidth, 640);
    EXPECT_EQ(page.m_nHeight, 480);
    EXPECT_EQ(page.m_nFps, 1);
    EXPECT_EQ(page.m_nFrameCount, 1000000);
    EXPECT_EQ(page.m_strOutputPath, "/tmp/film.avi");
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(PageExchange, EmptyFrameCountFailsWithFocusOnItAndEarlierFieldsStored)
{
    CAnimSettingsPage page;
    Show(page);
    Click(page, IDC_RADIO_SECOND);
    Type(page, IDC_WIDTH, "320");
    Type(page, IDC_FPS, "30");
    Type(page, IDC_FRAME_COUNT, "");
    page.SetDlgItemText(IDC_PATH, "/tmp/nový.avi");
    EXPECT_FALSE(page.UpdateData(TRUE));

    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Zadejte celé číslo.");
    EXPECT_EQ(boxes.calls[0].nType, MB_ICONEXCLAMATION);
    EXPECT_EQ(page.m_nSizeMode, 1);
    EXPECT_EQ(page.m_nWidth, 320);
    EXPECT_EQ(page.m_nFps, 30);
    EXPECT_EQ(page.m_nFrameCount, 100);
    EXPECT_TRUE(page.m_strOutputPath.IsEmpty());   // after the failed field: not read
    EXPECT_EQ(QApplication::focusWidget(), Edit(page, IDC_FRAME_COUNT));
}

TEST_F(PageExchange, OutOfRangeRateIsStoredAndNamedWithBothLimits)
{
    CAnimSettingsPage page;
    Show(page);
    Type(page, IDC_FPS, "0");
    Type(page, IDC_FRAME_COUNT, "5");
    EXPECT_FALSE(page.UpdateData(TRUE));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Zadejte celé číslo od 1 do 1000000.");
    EXPECT_EQ(page.m_nFps, 0);
    EXPECT_EQ(page.m_nFrameCount, 100);
    EXPECT_EQ(QApplication::focusWidget(), Edit(page, IDC_FPS));
    EXPECT_EQ(Edit(page, IDC_FPS)->selectedText(), "0");

    Type(page, IDC_FPS, "1000001");
    EXPECT_FALSE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_nFps, 1000001);
    Type(page, IDC_FPS, "99999999999");   // does not even fit a number
    EXPECT_FALSE(page.UpdateData(TRUE));
    EXPECT_EQ(boxes.calls.back().text, "Zadejte celé číslo.");
}

TEST_F(PageExchange, HeightIsCheckedBeforeWidth)
{
    CAnimSettingsPage page;
    Show(page);
    Click(page, IDC_RADIO_SECOND);
    Type(page, IDC_WIDTH, "0");
    Type(page, IDC_HEIGHT, "");
    EXPECT_FALSE(page.UpdateData(TRUE));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Zadejte celé číslo.");
    EXPECT_EQ(QApplication::focusWidget(), Edit(page, IDC_HEIGHT));
}

TEST_F(PageExchange, WidthZeroFailsTheAnimationPageEvenWhenAutomatic)
{
    CAnimSettingsPage page;
    Show(page);
    Click(page, IDC_RADIO_SECOND);
    Type(page, IDC_WIDTH, "0");
    Click(page, IDC_RADIO_FIRST);
    EXPECT_FALSE(Enabled(page, IDC_WIDTH));
    EXPECT_EQ(Text(page, IDC_WIDTH), "0");
    EXPECT_FALSE(page.UpdateData(TRUE));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Zadejte celé číslo od 1 do 1000000.");
    EXPECT_EQ(page.m_nSizeMode, 0);
    EXPECT_EQ(page.m_nWidth, 0);
    EXPECT_EQ(Edit(page, IDC_WIDTH)->selectedText(), "0");
}

TEST_F(PageExchange, WidthZeroPassesTheStillPage)
{
    CStillSettingsPage page;
    Show(page);
    Click(page, IDC_RADIO_SECOND);
    Type(page, IDC_WIDTH, "0");
    Click(page, IDC_RADIO_FIRST);
    ASSERT_TRUE(page.UpdateData(TRUE));
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(page.m_nSizeMode, 0);
    EXPECT_EQ(page.m_nWidth, 0);
    EXPECT_EQ(page.m_nHeight, 100);

    // Not a number still fails, with the focus on the field.
    Click(page, IDC_RADIO_SECOND);
    Type(page, IDC_HEIGHT, "");
    EXPECT_FALSE(page.UpdateData(TRUE));
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Zadejte celé číslo.");
    EXPECT_EQ(QApplication::focusWidget(), Edit(page, IDC_HEIGHT));
}

TEST_F(PageExchange, SliderLabelFollowsThePositionAsFirstToSecond)
{
    CStillSettingsPage page;
    Show(page);
    const std::pair<int, const char*> cases[] = {{0, "100:0"}, {30, "70:30"}, {100, "0:100"}, {50, "50:50"}};
    for (const auto& [pos, label] : cases) {
        page.m_ctlRatio.SetPos(pos);
        EXPECT_EQ(Text(page, IDC_RATIO_LABEL), label);
    }
    // By keyboard too, and the member follows at the next read.
    page.m_ctlRatio.GetWidget()->setFocus();
    QTest::keyClick(page.m_ctlRatio.GetWidget(), Qt::Key_Home);
    QTest::keyClick(page.m_ctlRatio.GetWidget(), Qt::Key_Right);
    EXPECT_EQ(Text(page, IDC_RATIO_LABEL), "99:1");
    EXPECT_EQ(page.m_strRatio, "50:50");
    ASSERT_TRUE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_strRatio, "99:1");

    // Showing the members again leaves the slider where it is.
    page.m_nWidth = 100;
    page.UpdateData(FALSE);
    EXPECT_EQ(page.m_ctlRatio.GetPos(), 1);
}

} // namespace
