// The frame's navigation without a render: a wrong page after a button or
// key, a button enabled where it must not be, a missing or wrong question or
// warning, and a program that ends without being asked or cannot be ended.

#include <csignal>
#include <functional>

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QKeyEvent>

// Local
#include "app/CWizardApp.h"
#include "tests/app/WizardHarness.h"

namespace {

void Key(QWidget* pWidget, Qt::Key key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(pWidget, &event);
}

TEST(WizardFrame, StartsOnTheWelcomePageWithNextFocused)
{
    CWizardApp app;  // The icon comes from the application's resources.
    WizardHarness w;
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageWelcome));
    EXPECT_TRUE(w.Enabled(IDC_NEXT) && !w.Enabled(IDC_PREV) && w.Enabled(IDCANCEL));
    EXPECT_EQ(w.m_dlg.GetWidget()->focusWidget(), WizardHarness::Control(w.m_dlg, IDC_NEXT));
    EXPECT_FALSE(w.m_dlg.GetWidget()->windowIcon().isNull());
    EXPECT_TRUE(w.m_dlg.GetWidget()->windowTitle().startsWith("Plavex"));
    EXPECT_EQ(w.m_dlg.m_pageStillDone.GetWidget()->parentWidget(), w.m_dlg.GetWidget());
    // A fixed frame: close and minimize, no maximize.
    const Qt::WindowFlags flags = w.m_dlg.GetWidget()->windowFlags();
    EXPECT_TRUE(flags.testFlags(Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
}

// One step of a walk through the wizard and the state it must leave.
struct Step {
    const char* m_pszWhat;
    std::function<void(WizardHarness&)> m_act;
    int m_nPage;
    const char* m_pszMessage = nullptr;  // The box the step shows, if any.
    UINT m_nType = MB_ICONEXCLAMATION;
    const char* m_pszCaption = "Plavex";
};

TEST(WizardFrame, EveryStepLandsOnItsPageWithItsButtonsAndMessages)
{
    const auto click = [](int nID) { return [nID](WizardHarness& w) { WizardHarness::Click(w.m_dlg, nID); }; };
    const auto next = click(IDC_NEXT);
    const auto prev = click(IDC_PREV);
    const char* pszQuestion = "Opravdu chcete ukončit program?";
    const UINT nQuestion = MB_YESNO | MB_ICONQUESTION;
    const Step steps[] = {
        {"Next", next, 1},
        {"Next with one picture", [](WizardHarness& w) {
             w.m_files.answers = {"/p/a.jpg"};
             WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE);
             w.Next();
         }, 1, "Musíte vybrat soubory!", MB_OK, "test_app_frame"},
        {"Prev", prev, 0},
        {"Both pictures, still", [](WizardHarness& w) { w.ChooseSources("/p/a.bmp", "/p/b.bmp", 1); }, 10},
        {"Prev from the still", prev, 1},
        {"Animation chosen on the way back", [](WizardHarness& w) {
             WizardHarness::Click(w.m_dlg.m_pageSource, IDC_RADIO_FIRST);
             w.Next();
         }, 2},
        {"Typed value survives going back and forth", [](WizardHarness& w) {
             WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "7");
             w.Prev();
             w.Next();
             EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT), "7");
         }, 2},
        {"Next without an output", next, 2, "Musíte vybrat soubor!", MB_OK, "test_app_frame"},
        {"Next with no frames", [](WizardHarness& w) {
             w.ChooseOutput("/nowhere/film.avi");
             WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "0");
             w.Next();
         }, 2, "Zadejte celé číslo od 1 do 1000000.", MB_ICONEXCLAMATION, "test_app_frame"},
        {"Konec answered no", click(IDCANCEL), 2, pszQuestion, nQuestion},
        {"Escape answered no", [](WizardHarness& w) { Key(w.m_dlg.GetWidget(), Qt::Key_Escape); }, 2, pszQuestion, nQuestion},
        {"Close box answered no", [](WizardHarness& w) { w.m_dlg.GetWidget()->close(); }, 2, pszQuestion, nQuestion},
        {"OK command and keys inside a page", [](WizardHarness& w) {
             w.m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(WORD(IDOK), BN_CLICKED), 0);
             Key(w.m_dlg.m_pageAnimSettings.GetWidget(), Qt::Key_Return);
             Key(w.m_dlg.m_pageAnimSettings.GetWidget(), Qt::Key_Escape);
         }, 2},
    };
    WizardHarness w;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.m_pszWhat);
        const std::size_t nShown = w.m_boxes.calls.size();
        step.m_act(w);
        ASSERT_EQ(w.m_boxes.calls.size(), nShown + (step.m_pszMessage ? 1 : 0));
        if (step.m_pszMessage) {
            EXPECT_EQ(w.m_boxes.calls.back().text, step.m_pszMessage);
            EXPECT_EQ(w.m_boxes.calls.back().caption, step.m_pszCaption);
            EXPECT_EQ(w.m_boxes.calls.back().nType, step.m_nType);
        }
        EXPECT_EQ(w.m_dlg.m_nPage, step.m_nPage);
        EXPECT_EQ(w.m_dlg.GetEndResult(), -1);
        EXPECT_EQ(w.Enabled(IDC_PREV), step.m_nPage != 0);
        EXPECT_TRUE(w.Enabled(IDC_NEXT) && w.Enabled(IDCANCEL));
        EXPECT_EQ(WizardHarness::Text(w.m_dlg, IDC_NEXT), "Další");
        EXPECT_EQ(w.m_compression.m_nCalls, 0);
    }
    EXPECT_TRUE(w.OnlyShown(w.m_dlg.m_pageAnimSettings));
    w.m_boxes.answers = {IDYES};
    w.m_dlg.GetWidget()->close();
    EXPECT_EQ(w.m_dlg.GetEndResult(), IDCANCEL);
    EXPECT_TRUE(w.Opened().empty());
}

TEST(WizardApp, InitInstanceRunsTheFrameAndEndsTheProgram)
{
    CWizardApp app;
    CRecordingMessageBox boxes;
    boxes.answers = {IDYES};
    // Once the frame runs, "Konec" answered yes ends it.
    QMetaObject::invokeMethod(
        qApp, [] { if (CWnd* pMain = AfxGetMainWnd()) WizardHarness::Click(*pMain, IDCANCEL); }, Qt::QueuedConnection);
    EXPECT_EQ(app.InitInstance(), FALSE);
    EXPECT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    // Writes past a file-size limit fail instead of killing the program.
    struct sigaction action {};
    sigaction(SIGXFSZ, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_IGN);
}

} // namespace
