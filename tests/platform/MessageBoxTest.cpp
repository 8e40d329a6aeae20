// The Qt message box: wrong buttons, default, icon or title, and a key or
// the close box giving another answer than the user's.

#include <functional>

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// Local
#include "platform/ui/CDialog.h"
#include "platform/ui/CQtMessageBox.h"
#include "platform/ui/CWinApp.h"
#include "tests/platform/support/TestServices.h"

namespace {

// One box shown for real and answered by a key or the close box.
struct Answer {
    const char* m_pszName;
    UINT m_nType;
    Qt::Key m_key;  // Qt::Key_unknown closes the window.
    Qt::KeyboardModifiers m_modifiers;
    int m_nAnswer;
    const char* m_pszButtons;  // The buttons' texts, the default one marked with '*'.
    QMessageBox::Icon m_icon;
};

void PrintTo(const Answer& a, std::ostream* pStream) { *pStream << a.m_pszName; }

class QtMessageBoxTest : public testing::TestWithParam<Answer> {};

TEST_P(QtMessageBoxTest, ShowsItsButtonsAndIconAndGivesTheUsersAnswer)
{
    const Answer& a = GetParam();
    QString strButtons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString strTitleAndText;
    QTimer::singleShot(0, [&] {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(pBox, nullptr);
        for (QAbstractButton* pButton : pBox->buttons())
            strButtons += pButton->text() + (pButton == pBox->defaultButton() ? "* " : " ");
        icon = pBox->icon();
        strTitleAndText = pBox->windowTitle() + ": " + pBox->text();
        pBox->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(pBox));
        if (a.m_key == Qt::Key_unknown)
            pBox->close();
        else
            QTest::keyClick(pBox, a.m_key, a.m_modifiers);
        // A box the answer failed to close must not hang the run.
        QTimer::singleShot(5000, pBox, [pBox] {
            ADD_FAILURE() << "the message box stayed open";
            pBox->done(0);
        });
    });
    EXPECT_EQ(CQtMessageBox().Show(nullptr, "Opravdu chcete ukončit program?", "Plavex", a.m_nType), a.m_nAnswer);
    EXPECT_EQ(strButtons.trimmed().toStdString(), a.m_pszButtons);
    EXPECT_EQ(icon, a.m_icon);
    EXPECT_EQ(strTitleAndText, "Plavex: Opravdu chcete ukončit program?");
}

constexpr UINT kQuestion = MB_YESNO | MB_ICONQUESTION;
const Answer kAnswers[] = {
    {"YesNoN", kQuestion, Qt::Key_N, Qt::NoModifier, IDNO, "&Ano* &Ne", QMessageBox::Question},
    {"YesNoA", kQuestion, Qt::Key_A, Qt::NoModifier, IDYES, "&Ano* &Ne", QMessageBox::Question},
    {"YesNoAltA", kQuestion, Qt::Key_A, Qt::AltModifier, IDYES, "&Ano* &Ne", QMessageBox::Question},
    {"YesNoEnter", kQuestion, Qt::Key_Return, Qt::NoModifier, IDYES, "&Ano* &Ne", QMessageBox::Question},
    // Escape and closing the window answer no: nothing is ended by accident.
    {"YesNoEscape", kQuestion, Qt::Key_Escape, Qt::NoModifier, IDNO, "&Ano* &Ne", QMessageBox::Question},
    {"YesNoClosed", kQuestion, Qt::Key_unknown, Qt::NoModifier, IDNO, "&Ano* &Ne", QMessageBox::Question},
    {"OkEnter", MB_OK, Qt::Key_Return, Qt::NoModifier, IDOK, "OK*", QMessageBox::NoIcon},
    {"WarningEscape", MB_ICONEXCLAMATION, Qt::Key_Escape, Qt::NoModifier, IDOK, "OK*", QMessageBox::Warning},
    {"YesNoCancelEscape", MB_YESNOCANCEL | MB_ICONHAND, Qt::Key_Escape, Qt::NoModifier, IDCANCEL, "Storno &Ano* &Ne", QMessageBox::Critical},
    {"OkCancelEscape", MB_OKCANCEL | MB_ICONINFORMATION, Qt::Key_Escape, Qt::NoModifier, IDCANCEL, "OK* Storno", QMessageBox::Information},
};
INSTANTIATE_TEST_SUITE_P(Rows, QtMessageBoxTest, testing::ValuesIn(kAnswers),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

} // namespace
