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
    EXPECT_EQ(w.State(), "0 Další ->x");
    QWidget* pFrame = w.m_dlg.GetWidget();
    EXPECT_EQ(pFrame->focusWidget(), WizardHarness::Control(w.m_dlg, IDC_NEXT));
    EXPECT_FALSE(pFrame->windowIcon().isNull());
    EXPECT_TRUE(pFrame->windowTitle().startsWith("Plavex"));
    EXPECT_EQ(w.m_dlg.m_pageStillDone.GetWidget()->parentWidget(), pFrame);
    // A fixed frame: close and minimize, no maximize.
    EXPECT_TRUE(pFrame->windowFlags().testFlags(Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint));
    EXPECT_FALSE(pFrame->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

// One step of a walk through the wizard, the state it must leave and the box it shows, if any.
struct Step {
    const char* m_pszWhat;
    std::function<void(WizardHarness&)> m_act;
    const char* m_pszState;
    std::string m_strBox = {};
};

TEST(WizardFrame, EveryStepLandsOnItsPageWithItsButtonsAndMessages)
{
    const auto click = [](int nID) { return [nID](WizardHarness& w) { WizardHarness::Click(w.m_dlg, nID); }; };
    const auto next = click(IDC_NEXT);
    const auto prev = click(IDC_PREV);
    const auto warning = [](const char* pszText) { return WizardHarness::Box("test_app_frame", MB_OK, pszText); };
    const std::string quit = WizardHarness::Box("Plavex", MB_YESNO | MB_ICONQUESTION, "Opravdu chcete ukončit program?");
    const Step steps[] = {
        {"Next", next, "1 Další <>x"},
        {"Next with one picture", [](WizardHarness& w) {
             w.m_files.answers = {"/p/a.jpg"};
             WizardHarness::Click(w.m_dlg.m_pageSource, IDC_BROWSE);
             w.Next();
         }, "1 Další <>x", warning("Musíte vybrat soubory!")},
        {"Prev", prev, "0 Další ->x"},
        {"Both pictures, still", [](WizardHarness& w) { w.ChooseSources("/p/a.bmp", "/p/b.bmp", 1); }, "10 Další <>x"},
        {"Prev from the still", prev, "1 Další <>x"},
        {"Animation chosen on the way back", [](WizardHarness& w) {
             WizardHarness::Click(w.m_dlg.m_pageSource, IDC_RADIO_FIRST);
             w.Next();
         }, "2 Další <>x"},
        {"Typed value survives going back and forth", [](WizardHarness& w) {
             WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "7");
             w.Prev();
             w.Next();
             EXPECT_EQ(WizardHarness::Text(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT), "7");
         }, "2 Další <>x"},
        {"Next without an output", next, "2 Další <>x", warning("Musíte vybrat soubor!")},
        {"Next with no frames", [](WizardHarness& w) {
             w.ChooseOutput("/nowhere/film.avi");
             WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "0");
             w.Next();
         }, "2 Další <>x",
         WizardHarness::Box("test_app_frame", MB_ICONEXCLAMATION, "Zadejte celé číslo od 1 do 1000000.")},
        {"Konec answered no", click(IDCANCEL), "2 Další <>x", quit},
        {"Escape answered no", [](WizardHarness& w) { Key(w.m_dlg.GetWidget(), Qt::Key_Escape); }, "2 Další <>x", quit},
        {"Close box answered no", [](WizardHarness& w) { w.m_dlg.GetWidget()->close(); }, "2 Další <>x", quit},
        {"OK command and keys inside a page", [](WizardHarness& w) {
             w.m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(WORD(IDOK), BN_CLICKED), 0);
             Key(w.m_dlg.m_pageAnimSettings.GetWidget(), Qt::Key_Return);
             Key(w.m_dlg.m_pageAnimSettings.GetWidget(), Qt::Key_Escape);
         }, "2 Další <>x"},
    };
    WizardHarness w;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.m_pszWhat);
        const std::vector<std::string> before = w.Boxes();
        step.m_act(w);
        std::vector<std::string> expected = before;
        if (!step.m_strBox.empty())
            expected.push_back(step.m_strBox);
        EXPECT_EQ(w.Boxes(), expected);
        EXPECT_EQ(w.State(), step.m_pszState);
        EXPECT_EQ(w.m_compression.m_nCalls, 0);
    }
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
