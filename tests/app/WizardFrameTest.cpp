// The frame's navigation without a render: a wrong page after a button or
// key, a page left shown, a button enabled where it must not be, a missing or
// wrong question or warning, a frame without its icon or with a maximize box,
// and a program that ends without being asked or cannot be ended.

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

// One step of a walk through the wizard, the state it must leave and the box it shows, if any.
using Act = std::function<void(WizardHarness&)>;
struct Step {
    const char* m_pszWhat;
    std::vector<Act> m_acts;
    const char* m_pszState;
    std::string m_strBox = {};
};

TEST(WizardFrame, EveryStepLandsOnItsPageWithItsButtonsAndMessages)
{
    const Act next = &WizardHarness::Next, prev = &WizardHarness::Prev;
    const auto click = [](int nID) -> Act {
        return [=](WizardHarness& w) { WizardHarness::Click(w.m_dlg.m_pageSource, nID); };
    };
    const auto key = [](Qt::Key key, bool bInPage = false) -> Act {
        return [=](WizardHarness& w) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(bInPage ? w.m_dlg.m_pageAnimSettings.GetWidget() : w.m_dlg.GetWidget(), &event);
        };
    };
    const auto warning = [](const char* pszText) { return WizardHarness::Box("test_app_frame", MB_OK, pszText); };
    const std::string quit = WizardHarness::Box("Plavex", MB_YESNO | MB_ICONQUESTION, "Opravdu chcete ukončit program?");
    const Step steps[] = {
        {"Next", {next}, "1 Další <>x"},
        {"Next with one picture", {[](WizardHarness& w) { w.m_files.answers = {"/p/a.jpg"}; }, click(IDC_BROWSE), next},
         "1 Další <>x", warning("Musíte vybrat soubory!")},
        {"Prev", {prev}, "0 Další ->x"},
        {"Both pictures, still", {[](WizardHarness& w) { w.ChooseSources("/p/a.bmp", "/p/b.bmp", 1); }}, "10 Další <>x"},
        {"Prev from the still", {prev}, "1 Další <>x"},
        {"Animation chosen on the way back", {click(IDC_RADIO_FIRST), next}, "2 Další <>x"},
        {"Next without an output", {next}, "2 Další <>x", warning("Musíte vybrat soubor!")},
        {"Next with no frames", {[](WizardHarness& w) {
             w.ChooseOutput("/nowhere/film.avi");
             WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "0");
         }, next}, "2 Další <>x",
         WizardHarness::Box("test_app_frame", MB_ICONEXCLAMATION, "Zadejte celé číslo od 1 do 1000000.")},
        {"Konec answered no", {[](WizardHarness& w) { WizardHarness::Click(w.m_dlg, IDCANCEL); }}, "2 Další <>x", quit},
        {"Escape answered no", {key(Qt::Key_Escape)}, "2 Další <>x", quit},
        {"Close box answered no", {[](WizardHarness& w) { w.m_dlg.GetWidget()->close(); }}, "2 Další <>x", quit},
        {"OK command and keys inside a page", {[](WizardHarness& w) {
             w.m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(WORD(IDOK), BN_CLICKED), 0);
         }, key(Qt::Key_Return, true), key(Qt::Key_Escape, true)}, "2 Další <>x"},
    };
    CWizardApp app;  // The icon comes from the application's resources.
    WizardHarness w;
    // A fixed frame with "Další" focused: close and minimize, no maximize.
    QWidget* pFrame = w.m_dlg.GetWidget();
    EXPECT_EQ(w.State(), "0 Další ->x");
    EXPECT_EQ(pFrame->focusWidget(), WizardHarness::Control(w.m_dlg, IDC_NEXT));
    EXPECT_TRUE(!pFrame->windowIcon().isNull() && pFrame->windowTitle().startsWith("Plavex"));
    EXPECT_EQ(w.m_dlg.m_pageStillDone.GetWidget()->parentWidget(), pFrame);
    const Qt::WindowFlags kFixed = Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint;
    EXPECT_EQ(pFrame->windowFlags() & (kFixed | Qt::WindowMaximizeButtonHint), kFixed);
    std::vector<std::string> boxes;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.m_pszWhat);
        for (const Act& act : step.m_acts)
            act(w);
        if (!step.m_strBox.empty())
            boxes.push_back(step.m_strBox);
        EXPECT_EQ(w.Boxes(), boxes);
        EXPECT_EQ(w.State(), step.m_pszState);
        EXPECT_EQ(w.m_compression.m_nCalls, 0);
    }
    w.m_boxes.answers = {IDYES};
    w.m_dlg.GetWidget()->close();
    EXPECT_EQ(w.m_dlg.GetEndResult(), IDCANCEL);
}

TEST(WizardApp, InitInstanceRunsTheFrameAndEndsTheProgram)
{
    CWizardApp app;
    CRecordingMessageBox boxes;
    boxes.answers = {IDYES};
    // Once the frame runs, "Konec" answered yes ends it.
    QMetaObject::invokeMethod(
        qApp, [] { if (CWnd* pMain = AfxGetMainWnd()) WizardHarness::Click(*pMain, IDCANCEL); }, Qt::QueuedConnection);
    const BOOL bResult = app.InitInstance();
    EXPECT_EQ(std::tuple(bResult, boxes.calls.size(), AfxGetMainWnd()), std::tuple(FALSE, 1u, nullptr));
    // Writes past a file-size limit fail instead of killing the program.
    struct sigaction action {};
    sigaction(SIGXFSZ, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_IGN);
}

} // namespace
