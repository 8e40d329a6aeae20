// The frame on its own: start-up state, the exit question and the moves
// between pages that need no render.

#include <csignal>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QKeyEvent>

// Local
#include "app/CWizardApp.h"
#include "tests/app/WizardHarness.h"

namespace {

using ::testing::ElementsAre;

TEST(WizardFrame, StartsOnTheWelcomePageWithNextFocused)
{
    CWizardApp app; // the icon comes from the application's resources
    WizardHarness w;

    EXPECT_EQ(w.m_dlg.m_nPage, 0);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageWelcome));
    EXPECT_TRUE(w.Enabled(IDC_NEXT));
    EXPECT_FALSE(w.Enabled(IDC_PREV));
    EXPECT_TRUE(w.Enabled(IDCANCEL));
    EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Další");
    EXPECT_EQ(w.m_dlg.GetWidget()->focusWidget(), WizardHarness::Control(w.m_dlg, IDC_NEXT));
    EXPECT_NE(w.m_dlg.m_hIcon, nullptr);
    EXPECT_FALSE(w.m_dlg.GetWidget()->windowIcon().isNull());
    EXPECT_TRUE(w.m_dlg.GetWidget()->windowTitle().startsWith("Plavex"));
    // A fixed frame: close and minimize, no maximize.
    const Qt::WindowFlags flags = w.m_dlg.GetWidget()->windowFlags();
    EXPECT_TRUE(flags.testFlags(Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

    // Every page sits at the top left of the frame, above the dividing line.
    for (const CDialog* pPage : {static_cast<const CDialog*>(&w.m_dlg.m_pageWelcome),
                                 static_cast<const CDialog*>(&w.m_dlg.m_pageStillDone)}) {
        EXPECT_EQ(pPage->GetWidget()->parentWidget(), w.m_dlg.GetWidget());
        EXPECT_EQ(pPage->GetWidget()->pos(), QPoint(0, 0));
    }
}

TEST(WizardFrame, KonecAnsweredNoChangesNothingAndYesEndsWithCancel)
{
    WizardHarness w;
    w.Next(); // on the source page, "Předchozí" enabled

    WizardHarness::Click(w.m_dlg, IDCANCEL);
    ASSERT_EQ(w.m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(w.m_boxes.m_shown[0].strText, "Opravdu chcete ukončit program?");
    EXPECT_EQ(w.m_boxes.m_shown[0].strCaption, "Plavex");
    EXPECT_EQ(w.m_boxes.m_shown[0].nType, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(w.m_dlg.GetEndResult(), -1);
    EXPECT_EQ(w.m_dlg.m_nPage, 1);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageSource));
    EXPECT_TRUE(w.Enabled(IDC_NEXT) && w.Enabled(IDC_PREV) && w.Enabled(IDCANCEL));

    w.m_boxes.m_answers = {IDYES};
    WizardHarness::Click(w.m_dlg, IDCANCEL);
    EXPECT_EQ(w.m_dlg.GetEndResult(), IDCANCEL);
    EXPECT_TRUE(w.m_shell.m_opened.empty());
}

TEST(WizardFrame, EscapeAndTheCloseBoxAskTheSameQuestion)
{
    WizardHarness w;
    QWidget* pFrame = w.m_dlg.GetWidget();

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(pFrame, &escape);
    pFrame->close();
    EXPECT_THAT(w.Messages(), ElementsAre("Opravdu chcete ukončit program?", "Opravdu chcete ukončit program?"));
    EXPECT_EQ(w.m_dlg.GetEndResult(), -1);
    EXPECT_TRUE(pFrame->isVisible());

    w.m_boxes.m_answers = {IDYES};
    pFrame->close();
    EXPECT_EQ(w.m_dlg.GetEndResult(), IDCANCEL);
}

TEST(WizardFrame, OkCommandAndKeysInsideAPageDoNothing)
{
    WizardHarness w;
    w.m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(WORD(IDOK), BN_CLICKED), 0);
    w.Next();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w.m_dlg.m_pageSource.GetWidget(), &enter);
    QApplication::sendEvent(w.m_dlg.m_pageSource.GetWidget(), &escape);

    EXPECT_EQ(w.m_dlg.GetEndResult(), -1);
    EXPECT_TRUE(w.m_boxes.m_shown.empty());
    EXPECT_EQ(w.m_dlg.m_nPage, 1);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageSource));
}

TEST(WizardNavigation, SourcePageWantsBothPicturesAndPrevGoesHome)
{
    WizardHarness w;
    w.Next();
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageSource));
    EXPECT_TRUE(w.Enabled(IDC_PREV));

    w.m_files.m_paths = {"/pictures/first.jpg"};
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE);
    w.Next();
    ASSERT_EQ(w.m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(w.m_boxes.m_shown[0].strText, "Musíte vybrat soubory!");
    EXPECT_EQ(w.m_boxes.m_shown[0].nType, MB_OK);
    // Without a caption of its own the box carries the program's name.
    EXPECT_EQ(w.m_boxes.m_shown[0].strCaption, AfxGetAppName().str());
    EXPECT_EQ(w.m_dlg.m_nPage, 1);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageSource));
    EXPECT_TRUE(w.Enabled(IDC_PREV));

    w.Prev();
    EXPECT_EQ(w.m_dlg.m_nPage, 0);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageWelcome));
    EXPECT_FALSE(w.Enabled(IDC_PREV));
    EXPECT_TRUE(w.Enabled(IDC_NEXT));
}

TEST(WizardNavigation, ModeChoosesTheRoadAndPrevAlwaysReturnsToTheSource)
{
    WizardHarness w;
    w.ChooseSources("/p/a.bmp", "/p/b.bmp", 1);
    EXPECT_EQ(w.m_dlg.m_nPage, 10);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageStillSettings));

    w.Prev();
    EXPECT_EQ(w.m_dlg.m_nPage, 1);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageSource));
    EXPECT_TRUE(w.Enabled(IDC_PREV));

    // A mode changed on the way back counts at the next "Další".
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_RADIO_FIRST);
    w.Next();
    EXPECT_EQ(w.m_dlg.m_nPage, 2);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageAnimSettings));

    // What was typed on a settings page survives going back and forth.
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "7");
    w.Prev();
    EXPECT_EQ(w.m_dlg.m_nPage, 1);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageSource));
    w.Next();
    EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT), "7");
    EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Další");
}

TEST(WizardNavigation, SettingsWithoutOutputOrWithABadNumberStay)
{
    WizardHarness w;
    w.ChooseSources("/p/a.bmp", "/p/b.bmp", 0);

    w.Next();
    EXPECT_THAT(w.Messages(), ElementsAre("Musíte vybrat soubor!"));
    EXPECT_EQ(w.m_dlg.m_nPage, 2);

    w.ChooseOutput("/nowhere/film.avi");
    WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "0");
    w.Next();
    ASSERT_EQ(w.m_boxes.m_shown.size(), 2u);
    EXPECT_EQ(w.m_dlg.m_nPage, 2);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageAnimSettings));
    EXPECT_TRUE(w.Enabled(IDC_NEXT) && w.Enabled(IDC_PREV) && w.Enabled(IDCANCEL));
    EXPECT_EQ(w.m_compression.m_nCalls, 0);

    w.Prev();
    WizardHarness::Click(w.m_dlg.m_pageSource, IDC_RADIO_SECOND);
    w.Next();
    w.Next();
    EXPECT_EQ(w.Messages().back(), "Musíte vybrat soubor!");
    EXPECT_EQ(w.m_dlg.m_nPage, 10);
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageStillSettings));
}

TEST(WizardApp, InitInstanceRunsTheFrameAndEndsTheProgram)
{
    CWizardApp app;
    CScriptedMessageBoxes boxes;
    CServiceGuard<IMessageBoxService, AfxSetMessageBoxService> guard(&boxes);
    boxes.m_answers = {IDYES};
    // Once the frame runs, "Konec" answered yes ends it.
    QMetaObject::invokeMethod(
        qApp,
        [] {
            if (CWnd* pMain = AfxGetMainWnd())
                WizardHarness::Click(*pMain, IDCANCEL);
        },
        Qt::QueuedConnection);
    EXPECT_EQ(app.InitInstance(), FALSE);
    EXPECT_EQ(boxes.m_shown.size(), 1u);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    // Writes past a file-size limit fail instead of killing the program.
    struct sigaction action {};
    sigaction(SIGXFSZ, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_IGN);
}

} // namespace
