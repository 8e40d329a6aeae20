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
    // A key pressed on the focused control of the frame, or of a page, where
    // it stops: the pages share the code that keeps it.
    const auto key = [](QKeyCombination key, int nIDFocus = IDC_NEXT, bool bInPage = false) -> Act {
        return [=](WizardHarness& w) {
            QWidget* pTarget = bInPage ? w.m_dlg.m_pageAnimSettings.Item(nIDFocus) : w.m_dlg.Item(nIDFocus);
            pTarget->setFocus();
            QKeyEvent event(QEvent::KeyPress, key.key(), key.keyboardModifiers());
            QApplication::sendEvent(pTarget, &event);
            EXPECT_TRUE(!bInPage || event.isAccepted()) << key.key();
        };
    };
    const auto warning = [](const char* pszText) { return CRecordingMessageBox::Box("test_app_frame", "ok", pszText); };
    const std::string quit = CRecordingMessageBox::Box("Plavex", "? yes/no", "Opravdu chcete ukončit program?");
    const Step steps[] = {
        {"Next", {next}, "Source Další <>x"},
        {"Next with one picture", {[](WizardHarness& w) { w.m_files.answers = {"/p/a.jpg"}; }, click(IDC_BROWSE), next},
         "Source Další <>x", warning("Musíte vybrat soubory!")},
        {"Prev", {prev}, "Welcome Další ->x"},
        {"Both pictures, still", {[](WizardHarness& w) { w.ChooseSources("/p/a.bmp", "/p/b.bmp", 1, false); }}, "StillSettings Další <>x"},
        {"Prev from the still", {prev}, "Source Další <>x"},
        {"Animation chosen on the way back", {click(IDC_RADIO_FIRST), next}, "AnimSettings Další <>x"},
        {"Next without an output", {next}, "AnimSettings Další <>x", warning("Musíte vybrat soubor!")},
        {"Next with no frames", {[](WizardHarness& w) {
             w.ChooseOutput("/nowhere/film.avi");
             WizardHarness::Type(w.m_dlg.m_pageAnimSettings, IDC_FRAME_COUNT, "0");
         }, next}, "AnimSettings Další <>x",
         CRecordingMessageBox::Box("test_app_frame", "! ok", "Zadejte celé číslo od 1 do 1000000.")},
        {"Escape answered no", {key(Qt::Key_Escape)}, "AnimSettings Další <>x", quit},
        // Enter presses the focused button: "Konec" asks. The close box asks
        // as well (e2e's AnimCloseBoxAnsweredYes).
        {"Enter on Konec answered no", {key(Qt::Key_Return, IDCANCEL)}, "AnimSettings Další <>x", quit},
        {"Keys inside a page", {key(Qt::Key_Return, IDC_FPS, true), key(Qt::KeypadModifier | Qt::Key_Enter, IDC_FPS, true),
                                key(Qt::Key_Escape, IDC_FPS, true)}, "AnimSettings Další <>x"},
    };
    WizardHarness w;
    // A fixed frame with "Další" focused: close and minimize, no maximize.
    EXPECT_EQ(w.State(), "Welcome Další ->x");
    EXPECT_EQ(w.m_dlg.focusWidget(), w.m_dlg.Item(IDC_NEXT));
    EXPECT_TRUE(!w.m_dlg.windowIcon().isNull() && w.m_dlg.windowTitle().startsWith("Plavex"));
    const Qt::WindowFlags kFixed = Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint;
    EXPECT_EQ(w.m_dlg.windowFlags() & (kFixed | Qt::WindowMaximizeButtonHint), kFixed);
    std::vector<std::string> boxes;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.m_pszWhat);
        for (const Act& act : step.m_acts)
            act(w);
        if (!step.m_strBox.empty())
            boxes.push_back(step.m_strBox);
        EXPECT_EQ(w.m_boxes.shown, boxes);
        EXPECT_EQ(w.State(), step.m_pszState);
        EXPECT_EQ(w.m_compression.m_nCalls, 0);
    }
    w.m_boxes.answers = {QMessageBox::Yes};
    w.m_dlg.close();
    EXPECT_EQ(w.State(), "AnimSettings Další <>x end 0");
}

// The program runs the frame modally until it ends; a stop signal that comes
// while the exit question is open closes the question as "Ne" would and
// ends the program all the same.
TEST(WizardApp, InitInstanceRunsTheFrameUntilAStopSignal)
{
    CWizardApp app;
    WhenShown<QDialog>([](QDialog* pFrame) {
        WhenShown<QMessageBox>([](QMessageBox*) { std::raise(SIGTERM); });
        WizardHarness::Click(*dynamic_cast<CWizardDlg*>(pFrame), IDCANCEL);
    });
    EXPECT_FALSE(app.InitInstance());
    // Writes past a file-size limit fail instead of killing the program.
    struct sigaction action {};
    sigaction(SIGXFSZ, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_IGN);
}

} // namespace
