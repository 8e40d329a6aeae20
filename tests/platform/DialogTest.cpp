// The dialog layer: dialog units rounded otherwise than the window system
// rounds them; the wrong focus, command or end of a modal run; a control that
// forgets a message; a number read that the dialog framework would refuse, or
// refused where it would read it; a default extension added where it must not
// be or missing; the Qt message box, file chooser and "Komprese videa" dialog
// showing other buttons, texts, icons or defaults, or giving another answer
// than the user's; a compression choice forgotten.

#include <array>
#include <functional>
#include <optional>
#include <tuple>

#include <gtest/gtest.h>

// Qt
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Local
#include "pages/CCompressionDialog.h"
#include "pages/CDialogCompressionChooser.h"
#include "video/VideoContainer.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CDialogBaseUnits.h"
#include "platform/ui/CFileDialog.h"
#include "platform/ui/CProgressCtrl.h"
#include "platform/ui/CQtFileChooser.h"
#include "platform/ui/CQtMessageBox.h"
#include "platform/ui/CSliderCtrl.h"
#include "platform/ui/QtTranslations.h"
#include "tests/platform/support/TestServices.h"

namespace {

TEST(DialogBaseUnits, RoundHalfAwayFromZeroAndFollowTheFont)
{
    const CDialogBaseUnits units(6, 13);
    // x × 6 / 4 and y × 13 / 8: 394.5, 1.5 and -1.5; 290.875, 4.875 and -1.625.
    for (const auto& [nX, nY, nMappedX, nMappedY] : {std::array{263, 179, 395, 291}, {50, 8, 75, 13}, {1, 3, 2, 5}, {-1, -1, -2, -2}})
        EXPECT_EQ(std::pair(units.MapX(nX), units.MapY(nY)), std::pair(nMappedX, nMappedY)) << nX;
    RECT rc{7, 173, 313, 174};
    units.MapRect(&rc);
    EXPECT_EQ((std::array{rc.left, rc.top, rc.right, rc.bottom}), (std::array<LONG, 4>{11, 281, 470, 283}));
    QFont font(QStringLiteral("DejaVu Sans"), 8);
    const CDialogBaseUnits small = CDialogBaseUnits::FromFont(font);
    EXPECT_EQ(small.GetCharHeight(), QFontMetrics(font).height());
    font.setPointSize(16);
    EXPECT_GT(CDialogBaseUnits::FromFont(font).GetCharWidth(), small.GetCharWidth());
}

// Runs `script` on the modal window of type W that the next loop shows; a
// window the script leaves open is closed later, so that it cannot hang the tests.
template <class W>
void WhenShown(const std::function<void(W*)>& script)
{
    QTimer::singleShot(0, [script] {
        auto* pWindow = qobject_cast<W*>(QApplication::activeModalWidget());
        ASSERT_NE(pWindow, nullptr) << "no modal window";
        script(pWindow);
        QTimer::singleShot(5000, pWindow, [pWindow] {
            ADD_FAILURE() << "the window stayed open";
            static_cast<QDialog*>(pWindow)->done(0);
        });
    });
}

constexpr int IDC_EDIT = 100, IDC_BUTTON = 101;
constexpr DialogItem kHostItems[] = {
    {102, DialogItemKind::PushButton, "Vypnuto", 5, 80, 40, 14, WS_VISIBLE | WS_TABSTOP | WS_DISABLED},
    {IDC_BUTTON, DialogItemKind::PushButton, "Tlačítko", 50, 80, 40, 14, WS_VISIBLE | WS_TABSTOP},
    {IDOK, DialogItemKind::PushButton, "OK", 95, 80, 40, 14, WS_VISIBLE | WS_TABSTOP},
    {IDCANCEL, DialogItemKind::PushButton, "Konec", 140, 80, 40, 14, WS_VISIBLE | WS_TABSTOP},
    {IDC_EDIT, DialogItemKind::Edit, "", 5, 60, 60, 14, WS_VISIBLE | WS_TABSTOP | WS_BORDER},
    {11, DialogItemKind::CheckBox, "Ano", 5, 5, 50, 10, WS_VISIBLE}, {12, DialogItemKind::GroupBox, "Skupina", 60, 5, 90, 40, WS_VISIBLE},
    {13, DialogItemKind::Label, "Text", 5, 20, 50, 8, WS_VISIBLE},   {14, DialogItemKind::Trackbar, "", 5, 30, 50, 15, WS_VISIBLE},
    {15, DialogItemKind::Progress, "", 5, 48, 90, 10, WS_VISIBLE},
};
constexpr DialogTemplate kHost{901, 0, 0, 200, 100, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 0, "Rámec",
                               "MS Sans Serif", 8, kHostItems};

// Runs the dialog modally while `script` plays inside its loop.
INT_PTR RunModal(CDialog& dlg, const std::function<void()>& script)
{
    WhenShown<QDialog>([script](QDialog* pDialog) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(pDialog));
        script();
    });
    return dlg.DoModal();
}

TEST(Dialog, ModalRunFocusesFirstEnabledTabStopAndEndsWithButtonsAndKeys)
{
    CDialog dlg(kHost);
    // Enter presses the focused button; in an edit it gives the dialog its OK.
    for (const auto& [nID, key, nEnd] : {std::tuple{IDCANCEL, QKeyCombination(Qt::Key_Return), IDCANCEL},
                                         {IDC_EDIT, QKeyCombination(Qt::Key_Return), IDOK},
                                         {IDC_EDIT, Qt::KeypadModifier | Qt::Key_Enter, IDOK}}) {
        CString focusText;   // the disabled first button is skipped
        EXPECT_EQ(RunModal(dlg, [&, nID = nID, key = key] {
                      focusText = CWnd::GetFocus()->GetWindowText();
                      dlg.GetDlgItem(nID)->SetFocus();
                      QTest::keyClick(dlg.GetDlgItem(nID)->GetWidget(), key.key(), key.keyboardModifiers());
                  }),
                  nEnd) << nID;
        // The window is gone after the run.
        EXPECT_EQ(std::pair(focusText, dlg.GetSafeHwnd()), std::pair(CString("Tlačítko"), HWND{})) << nID;
    }
}

// The messages the pages send their controls, and a member control that takes
// one over and hands it back.
TEST(Dialog, ControlsAnswerTheirMessagesAndMembersTakeThemOver)
{
    CDialog dlg(kHost);
    ASSERT_TRUE(dlg.Create(kHost.nID, nullptr));
    for (int nID : {11, 12, 13, IDC_EDIT}) {
        dlg.SetDlgItemText(nID, "Příliš žluťoučký");
        CString text;   // the braces read the text before the tuple copies it
        EXPECT_EQ((std::tuple{dlg.GetDlgItemText(nID, text), text, dlg.GetDlgItem(nID)->GetDlgCtrlID()}),
                  std::tuple(int(std::string("Příliš žluťoučký").size()), CString("Příliš žluťoučký"), nID));
    }
    dlg.GetDlgItem(11)->SendMessage(BM_CLICK);   // a click checks it as the user's would
    EXPECT_EQ(dlg.GetDlgItem(11)->SendMessage(BM_GETCHECK), BST_CHECKED);
    // The third state too, also asked for through the bare handle.
    for (const WPARAM nState : {WPARAM{BST_CHECKED}, WPARAM{2}, WPARAM{BST_UNCHECKED}}) {
        dlg.GetDlgItem(11)->SendMessage(BM_SETCHECK, nState);
        EXPECT_EQ(::SendMessage(dlg.GetDlgItem(11)->GetSafeHwnd(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(nState));
    }
    CSliderCtrl slider;
    ASSERT_TRUE(slider.SubclassDlgItem(14, &dlg) && dlg.GetDlgItem(14) == &slider);
    slider.SendMessage(TBM_SETRANGE, TRUE, LPARAM{10 | 20 << 16});
    slider.SetPos(30);
    EXPECT_EQ(std::tuple(slider.GetPos(), slider.GetRangeMin(), slider.GetRangeMax()), std::tuple(20, 10, 20));
    EXPECT_TRUE(slider.Detach() == dlg.GetDlgItem(14)->GetSafeHwnd() && dlg.GetDlgItem(14) != &slider);
    {
        CProgressCtrl bar;
        ASSERT_TRUE(bar.SubclassDlgItem(15, &dlg));
        bar.SendMessage(PBM_SETRANGE, 0, LPARAM{50 << 16});
        EXPECT_EQ((std::tuple{bar.SetPos(40), bar.SendMessage(PBM_GETPOS), CWnd::FromHandle(bar.GetSafeHwnd())}),
                  std::tuple(0, LRESULT{40}, &bar));
    }
    // A member that goes first hands its control back to the dialog.
    EXPECT_EQ(CWnd::FromHandle(dlg.GetDlgItem(15)->GetSafeHwnd()), dlg.GetDlgItem(15));
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.SendMessage(WM_CLOSE);
    EXPECT_FALSE(dlg.IsWindowVisible());
}

TEST(DataExchangeParseInt, AcceptsOnlyWholeNumbersThatFitInt32)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"42", 42}, {"  42  ", 42}, {"\t-7\t", -7}, {"+15", 15}, {"0", 0}, {"-0", 0},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"2147483648", {}}, {"-2147483649", {}}, {"99999999999999999999999", {}}, {"", {}}, {"   ", {}}, {"-", {}},
        {"1a", {}}, {"a1", {}}, {"1 2", {}}, {"--1", {}}, {"\n1", {}},
    };
    for (const auto& [pszText, value] : cases) {
        int nRead = 12345;   // the braces read it after the parse
        EXPECT_EQ((std::pair{CDataExchange::ParseInt(pszText, nRead) != FALSE, nRead}),
                  std::pair(value.has_value(), value.value_or(12345))) << '"' << pszText << '"';
    }
}

TEST(FileDialog, AddsTheDefaultExtensionToBareNamesOnly)
{
    CScriptedFileChooser chooser;
    CFileDialog save(FALSE, "avi", "plavex", 0, "Avi soubory (*.avi)|*.avi||");
    for (const auto& [pszAnswer, pszPath] : {std::pair{"/home/eva.v2/film", "/home/eva.v2/film.avi|film.avi"},
                                             {"/home/eva/film.AVI", "/home/eva/film.AVI|film.AVI"}}) {
        chooser.answers = {pszAnswer};
        EXPECT_EQ(save.DoModal(), IDOK);
        EXPECT_EQ(save.GetPathName().str() + "|" + save.GetFileName().str(), pszPath);
    }
    EXPECT_EQ(save.DoModal(), IDCANCEL);
}

TEST(QtFileChooser, SaveChooserNamesAFileWithTheDefaultSuffixAndAsksInCzechBeforeReplacingOne)
{
    ASSERT_TRUE(InstallQtTranslations("cs"));
    QTemporaryDir dir;
    ASSERT_TRUE(QFile(dir.filePath(QStringLiteral("mix.bmp"))).open(QIODevice::WriteOnly));   // closed at once
    FileChooserRequest request{.bOpenFileDialog = FALSE, .defaultExtension = "bmp", .initialFileName = "plavex",
                               .flags = OFN_OVERWRITEPROMPT,
                               .filters = CFileDialog::ParseFilter("Obrázky BMP (*.bmp)|*.bmp||")};
    // The chooser's filters, buttons and whether it hides the filters' patterns.
    QString shown, question;
    const auto describe = [&](QFileDialog* pDialog) {
        shown = pDialog->nameFilters().join('|') + (pDialog->testOption(QFileDialog::HideNameFilterDetails) ? " hidden" : "");
        for (QAbstractButton* pButton : pDialog->findChild<QDialogButtonBox*>()->buttons())
            shown += '|' + pButton->text();
    };
    WhenShown<QFileDialog>([&](QFileDialog* pDialog) {
        describe(pDialog);
        pDialog->setDirectory(dir.path());
        // The question comes up inside accept(); "Ne" keeps the chooser open.
        pDialog->selectFile(QStringLiteral("mix"));
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            question = box->text() + '|' + box->button(QMessageBox::No)->text();
            box->button(QMessageBox::No)->click();
        });
        static_cast<QDialog*>(pDialog)->accept();
        pDialog->selectFile(QStringLiteral("smíchaný"));
        static_cast<QDialog*>(pDialog)->accept();
    });
    CQtFileChooser chooser;
    CString path;
    ASSERT_TRUE(chooser.Choose(request, path));
    EXPECT_EQ(QFile::decodeName(path.GetString()), dir.filePath(QStringLiteral("smíchaný.bmp")));
    EXPECT_EQ(shown.toStdString(), "Obrázky BMP (*.bmp)|&Uložit|Zrušit");
    EXPECT_EQ(question.toStdString(), "Soubor mix.bmp již existuje.\nChcete jej nahradit?|&Ne");


    // The open chooser's one entry shows as its bare description.
    request.bOpenFileDialog = TRUE;
    request.filters = CFileDialog::ParseFilter("Obrázky|*.png;*.heic||");
    WhenShown<QFileDialog>([&](QFileDialog* pDialog) {
        describe(pDialog);
        pDialog->reject();
    });
    EXPECT_FALSE(chooser.Choose(request, path));
    EXPECT_EQ(shown.section('|', 0, 0).toStdString(), "Obrázky (*.png *.heic) hidden");
}

// One message box shown for real and answered by a key (Key_unknown: the close
// box); its buttons' texts, the default one marked with '*'.
struct Answer {
    const char* m_pszName;
    UINT m_nType;
    QKeyCombination m_key;
    int m_nAnswer;
    const char* m_pszButtons;
    QMessageBox::Icon m_icon;
};

class QtMessageBoxTest : public testing::TestWithParam<Answer> {};

TEST_P(QtMessageBoxTest, ShowsItsButtonsAndIconAndGivesTheUsersAnswer)
{
    const Answer& a = GetParam();
    QString strShown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenShown<QMessageBox>([&](QMessageBox* pBox) {
        strShown = pBox->windowTitle() + ": " + pBox->text() + " |";
        for (QAbstractButton* pButton : pBox->buttons())
            strShown += ' ' + pButton->text() + (pButton == pBox->defaultButton() ? "*" : "");
        icon = pBox->icon();
        pBox->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(pBox));
        if (a.m_key.key() == Qt::Key_unknown)
            pBox->close();
        else
            QTest::keyClick(pBox, a.m_key.key(), a.m_key.keyboardModifiers());
    });
    EXPECT_EQ(CQtMessageBox().Show(nullptr, "Opravdu chcete ukončit program?", "Plavex", a.m_nType), a.m_nAnswer);
    EXPECT_EQ(std::pair(strShown.toStdString(), icon),
              std::pair(std::string("Plavex: Opravdu chcete ukončit program? | ") + a.m_pszButtons, a.m_icon));
}

// Escape and closing the window answer no: nothing is ended by accident.
constexpr UINT kQuestion = MB_YESNO | MB_ICONQUESTION;
const Answer kAnswers[] = {
    {"YesNoN", kQuestion, Qt::Key_N, IDNO, "&Ano* &Ne", QMessageBox::Question},
    {"YesNoEnter", kQuestion, Qt::Key_Return, IDYES, "&Ano* &Ne", QMessageBox::Question},
    {"YesNoEscape", kQuestion, Qt::Key_Escape, IDNO, "&Ano* &Ne", QMessageBox::Question},
    {"YesNoClosed", kQuestion, Qt::Key_unknown, IDNO, "&Ano* &Ne", QMessageBox::Question},
    {"OkEnter", MB_OK, Qt::Key_Return, IDOK, "OK*", QMessageBox::NoIcon},
    {"WarningEscape", MB_ICONEXCLAMATION, Qt::Key_Escape, IDOK, "OK*", QMessageBox::Warning},
    {"YesNoCancelEscape", MB_YESNOCANCEL | MB_ICONHAND, Qt::Key_Escape, IDCANCEL, "Storno &Ano* &Ne", QMessageBox::Critical},
    {"OkCancelEscape", MB_OKCANCEL | MB_ICONINFORMATION, Qt::Key_Escape, IDCANCEL, "OK* Storno", QMessageBox::Information},
};
INSTANTIATE_TEST_SUITE_P(Rows, QtMessageBoxTest, testing::ValuesIn(kAnswers),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST(CompressionDialog, OffersTheContainersCodecsWithQualityForTheLossyOnesModallyAndRemembersTheChoice)
{
    QWidget owner;
    CDialogCompressionChooser chooser;
    WhenShown<CCompressionDialog>([&owner](CCompressionDialog* pDialog) {
        // Modal to its owner, with a close box and no other.
        constexpr auto kClose = Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
        const auto flags = pDialog->windowFlags() & (kClose | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
        EXPECT_EQ(std::pair(pDialog->parentWidget(), flags), std::pair(static_cast<QWidget*>(&owner), kClose));
        const auto* pButtons = pDialog->findChild<QDialogButtonBox*>();
        QStringList texts = {pDialog->windowTitle(), pButtons->button(QDialogButtonBox::Ok)->text(),
                             pButtons->button(QDialogButtonBox::Cancel)->text()};
        for (const QLabel* pLabel : pDialog->findChildren<QLabel*>())
            if (pLabel != pDialog->m_pQualityValue)
                texts << pLabel->text();
        for (int i = 0; i < pDialog->m_pCompressor->count(); ++i)
            texts << pDialog->m_pCompressor->itemText(i);
        EXPECT_EQ(texts, QStringList({"Komprese videa", "OK", "Storno", "Kompresor:", "Kvalita:",
                                      "Plné snímky (nekomprimované)", "Motion JPEG", "H.264", "FFV1 (bezeztrátový)"}));
        // Motion JPEG at 90 of 1..100 until the user chooses otherwise.
        const QSlider& quality = *pDialog->m_pQuality;
        EXPECT_EQ(std::tuple(pDialog->m_pCompressor->currentIndex(), quality.value(), quality.minimum(), quality.maximum()),
                  std::tuple(1, 90, 1, 100));
        // Each codec with the quality it takes; the choice shows again as it was made.
        for (const auto& [nIndex, pszCodec, nQuality] : {std::tuple{0, "raw", 0}, {1, "mjpeg", 37}, {3, "ffv1", 0},
                                                         {2, "h264", 37}}) {
            pDialog->m_pCompressor->setCurrentIndex(nIndex);
            pDialog->m_pQuality->setValue(37);
            EXPECT_EQ(std::pair(quality.isEnabled(), pDialog->m_pQualityValue->text()), std::pair(nQuality != 0, QString("37")));
            const CompressionChoice choice = pDialog->GetChoice();
            EXPECT_EQ(std::pair(choice.m_pCodec, choice.m_nQuality), std::pair(FindVideoCodec(pszCodec), nQuality));
            pDialog->m_pCompressor->setCurrentIndex(0);
            pDialog->SetChoice(choice);
            EXPECT_EQ(pDialog->m_pCompressor->currentIndex(), nIndex);
        }
        pDialog->accept();
    });
    const auto choice = chooser.Choose(&owner, CodecsOf(VideoContainer::Avi));
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(std::pair(choice->m_pCodec, choice->m_nQuality), std::pair(FindVideoCodec("h264"), 37));

    // For an MP4 name H.264 alone, on the last quality; "Storno" gives nothing.
    WhenShown<CCompressionDialog>([](CCompressionDialog* pDialog) {
        EXPECT_EQ(std::tuple(pDialog->m_pCompressor->count(), pDialog->m_pCompressor->itemText(0),
                             pDialog->m_pQuality->isEnabled(), pDialog->m_pQuality->value()),
                  std::tuple(1, QString("H.264"), true, 37));
        pDialog->reject();
    });
    EXPECT_FALSE(chooser.Choose(&owner, CodecsOf(VideoContainer::Mp4)).has_value());
}

} // namespace
