// Dialogs built from templates: a control off its place in dialog units, and
// the wrong focus, command or end of a modal run.

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QFontInfo>
#include <QTest>
#include <QTimer>

// Local
#include "platform/ui/CDialog.h"
#include "platform/ui/CDialogBaseUnits.h"
#include "platform/ui/CFont.h"
#include "platform/ui/CProgressCtrl.h"
#include "platform/ui/CSliderCtrl.h"
#include "platform/ui/CWinApp.h"
#include "tests/platform/support/TestServices.h"

namespace {

TEST(DialogBaseUnits, RoundsToNearestLikeTheWindowSystem)
{
    const CDialogBaseUnits units(6, 13);
    EXPECT_EQ(units.MapX(263), 395);   // 394.5 rounds up
    EXPECT_EQ(units.MapX(50), 75);
    EXPECT_EQ(units.MapX(1), 2);       // 1.5
    EXPECT_EQ(units.MapX(-1), -2);     // half away from zero
    EXPECT_EQ(units.MapY(179), 291);   // 290.875
    EXPECT_EQ(units.MapY(8), 13);
    EXPECT_EQ(units.MapY(3), 5);       // 4.875
    RECT rc{7, 173, 313, 174};
    units.MapRect(&rc);
    EXPECT_EQ(rc.left, 11);
    EXPECT_EQ(rc.top, 281);
    EXPECT_EQ(rc.right, 470);
    EXPECT_EQ(rc.bottom, 283);
    // A font's units follow its size.
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPointSize(8);
    QFont large = small;
    large.setPointSize(16);
    EXPECT_GT(CDialogBaseUnits::FromFont(large).GetCharWidth(), CDialogBaseUnits::FromFont(small).GetCharWidth());
    EXPECT_EQ(CDialogBaseUnits::FromFont(small).GetCharHeight(), QFontMetrics(small).height());
}

constexpr int IDC_EDIT = 100, IDC_BUTTON = 101, IDC_DISABLED = 102;
constexpr DialogItem kHostItems[] = {
    {IDC_DISABLED, DialogItemKind::PushButton, "Vypnuto", 5, 80, 40, 14, WS_VISIBLE | WS_TABSTOP | WS_DISABLED},
    {IDC_BUTTON, DialogItemKind::PushButton, "Tlačítko", 50, 80, 40, 14, WS_VISIBLE | WS_TABSTOP},
    {IDOK, DialogItemKind::PushButton, "OK", 95, 80, 40, 14, WS_VISIBLE | WS_TABSTOP},
    {IDCANCEL, DialogItemKind::PushButton, "Konec", 140, 80, 40, 14, WS_VISIBLE | WS_TABSTOP},
    {IDC_EDIT, DialogItemKind::Edit, "", 5, 60, 60, 14, WS_VISIBLE | WS_TABSTOP | WS_BORDER},
};
constexpr DialogTemplate kHost{901, 0, 0, 200, 100, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 0, "Rámec",
                               "MS Sans Serif", 8, kHostItems};

// A dialog that counts what reaches it.
class CCountingDialog : public CDialog {
public:
    explicit CCountingDialog(const DialogTemplate& tmpl) : CDialog(tmpl) {}
    void OnOK() override
    {
        ++nOK;
        if (bEndOnCommand)
            CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++nCancel;
        if (bEndOnCommand)
            CDialog::OnCancel();
    }
    void OnButton() { ++nButton; }
    int nOK = 0, nCancel = 0, nButton = 0;
    bool bEndOnCommand = true;

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingDialog, CDialog)
    ON_BN_CLICKED(IDC_BUTTON, &CCountingDialog::OnButton)
END_MESSAGE_MAP()

// Runs a dialog modally while `script` plays inside its loop.
template <class Script>
INT_PTR RunModal(CDialog& dlg, Script script)
{
    QTimer::singleShot(0, [&dlg, script] {
        if (!QTest::qWaitForWindowExposed(dlg.GetWidget()))
            ADD_FAILURE() << "the dialog never showed";
        script();
        // A run the script failed to end must not hang the tests.
        if (dlg.GetWidget())
            QTimer::singleShot(5000, dlg.GetWidget(), [&dlg] {
                ADD_FAILURE() << "the dialog stayed open";
                dlg.EndDialog(-2);
            });
    });
    return dlg.DoModal();
}

void Key(CDialog& dlg, int nID, Qt::Key key)
{
    QWidget* target = nID ? dlg.GetDlgItem(nID)->GetWidget() : dlg.GetWidget();
    QTest::keyClick(target, key);
}

TEST(Dialog, EveryTemplateControlSitsAtItsPositionInDialogUnits)
{
    CCountingDialog host(kHost);
    ASSERT_TRUE(host.Create(kHost.nID, nullptr));
    const QFont* font = host.GetDialogFont();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->pointSize(), 8);
    EXPECT_EQ(font->family(), CFont::ResolveFace("MS Sans Serif").GetString());

    const CDialogBaseUnits units = CDialogBaseUnits::FromFont(*font);
    EXPECT_EQ(host.GetWidget()->size(), QSize(units.MapX(200), units.MapY(100)));
    for (const DialogItem& item : kHost.items) {
        const QWidget* w = host.GetDlgItem(item.nID)->GetWidget();
        EXPECT_EQ(w->geometry(), QRect(units.MapX(item.x), units.MapY(item.y), units.MapX(item.cx), units.MapY(item.cy)))
            << item.text;
        EXPECT_EQ(w->font(), *font);
    }
    EXPECT_FALSE(host.GetDlgItem(IDC_DISABLED)->IsWindowEnabled());
    EXPECT_EQ(host.GetWindowText(), "Rámec");
}

TEST(Dialog, ModalRunFocusesFirstEnabledTabStopAndEndsWithButtons)
{
    CCountingDialog dlg(kHost);
    EXPECT_EQ(RunModal(dlg, [&] {
                  dlg.GetDlgItem(IDC_BUTTON)->SendMessage(BM_CLICK);
                  dlg.GetDlgItem(IDOK)->SendMessage(BM_CLICK);
              }),
              IDOK);
    EXPECT_EQ(dlg.nButton, 1);
    EXPECT_EQ(dlg.nOK, 1);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);   // the window is gone after the run

    CCountingDialog again(kHost);
    CString focusText;
    EXPECT_EQ(RunModal(again, [&] {
                  focusText = CWnd::GetFocus() ? CWnd::GetFocus()->GetWindowText() : CString("(none)");
                  again.GetDlgItem(IDCANCEL)->SendMessage(BM_CLICK);
              }),
              IDCANCEL);
    EXPECT_EQ(focusText, "Tlačítko");   // the disabled first button is skipped
}

TEST(Dialog, EnterPressesTheFocusedButtonOrGivesTheDialogItsOK)
{
    CCountingDialog dlg(kHost);
    dlg.bEndOnCommand = false;
    EXPECT_EQ(RunModal(dlg, [&] {
                  dlg.GetDlgItem(IDC_BUTTON)->SetFocus();
                  Key(dlg, IDC_BUTTON, Qt::Key_Return);
                  dlg.GetDlgItem(IDC_EDIT)->SetFocus();
                  Key(dlg, IDC_EDIT, Qt::Key_Return);
                  Key(dlg, IDC_EDIT, Qt::Key_Enter);
                  dlg.EndDialog(7);
              }),
              7);
    EXPECT_EQ(dlg.nButton, 1);
    EXPECT_EQ(dlg.nOK, 2);
    EXPECT_EQ(dlg.nCancel, 0);
}

// The messages the pages send their controls, and a member control that takes
// one over and hands it back.
TEST(Dialog, ControlsAnswerTheirMessagesAndMembersTakeThemOver)
{
    static constexpr DialogItem items[] = {
        {1, DialogItemKind::CheckBox, "Ano", 5, 5, 50, 10, WS_VISIBLE}, {2, DialogItemKind::GroupBox, "Skupina", 5, 20, 90, 40, WS_VISIBLE},
        {3, DialogItemKind::Label, "Text", 5, 65, 50, 8, WS_VISIBLE},   {4, DialogItemKind::Trackbar, "", 5, 75, 90, 15, WS_VISIBLE},
        {5, DialogItemKind::Progress, "", 5, 95, 90, 10, WS_VISIBLE},   {6, DialogItemKind::Edit, "", 5, 110, 50, 14, WS_VISIBLE},
    };
    static constexpr DialogTemplate tmpl{905, 0, 0, 100, 130, WS_POPUP, 0, "Okno", "MS Sans Serif", 8, items};
    CDialog dlg(tmpl);
    ASSERT_TRUE(dlg.Create(tmpl.nID, nullptr));
    for (int nID : {1, 2, 3, 6}) {
        dlg.SetDlgItemText(nID, "Příliš žluťoučký");
        CString text;
        EXPECT_EQ(dlg.GetDlgItemText(nID, text), static_cast<int>(std::string("Příliš žluťoučký").size())) << nID;
        EXPECT_EQ(dlg.GetDlgItem(nID)->GetDlgCtrlID(), nID);
    }
    CWnd* pCheck = dlg.GetDlgItem(1);
    for (const WPARAM nState : {WPARAM{BST_CHECKED}, WPARAM{2}, WPARAM{BST_UNCHECKED}}) {
        pCheck->SendMessage(BM_SETCHECK, nState);
        EXPECT_EQ(::SendMessage(pCheck->GetSafeHwnd(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(nState));
    }
    CSliderCtrl slider;
    ASSERT_TRUE(slider.SubclassDlgItem(4, &dlg));
    EXPECT_EQ(dlg.GetDlgItem(4), &slider);
    slider.SendMessage(TBM_SETRANGE, TRUE, LPARAM{10 | 20 << 16});
    slider.SetPos(30);
    EXPECT_EQ(slider.GetPos(), 20);
    EXPECT_EQ(slider.GetRangeMin() + slider.GetRangeMax(), 30);
    EXPECT_EQ(slider.Detach(), dlg.GetDlgItem(4)->GetSafeHwnd());
    EXPECT_NE(dlg.GetDlgItem(4), &slider);
    {
        CProgressCtrl bar;
        ASSERT_TRUE(bar.SubclassDlgItem(5, &dlg));
        bar.SendMessage(PBM_SETRANGE, 0, LPARAM{50 << 16});
        EXPECT_EQ(bar.SetPos(40), 0);
        EXPECT_EQ(bar.SendMessage(PBM_GETPOS), 40);
        EXPECT_EQ(CWnd::FromHandle(bar.GetSafeHwnd()), &bar);
    }
    // A member that goes first hands its control back to the dialog.
    EXPECT_EQ(CWnd::FromHandle(dlg.GetDlgItem(5)->GetSafeHwnd()), dlg.GetDlgItem(5));
    dlg.SendMessage(WM_CLOSE);
    EXPECT_FALSE(dlg.IsWindowVisible());
}

} // namespace
