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

struct Seen {
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
};

// Shows a real box and, once it is up, records it and plays `answer` on it.
int ShowAndAnswer(UINT nType, Seen& seen, std::function<void(QMessageBox*)> answer)
{
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no message box";
            return;
        }
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        seen.icon = box->icon();
        seen.title = box->windowTitle();
        seen.text = box->text();
        box->activateWindow();
        if (!QTest::qWaitForWindowActive(box))
            ADD_FAILURE() << "the message box never became active";
        answer(box);
        // A box the answer failed to close must not hang the run.
        QTimer::singleShot(5000, box, [box] {
            ADD_FAILURE() << "the message box stayed open";
            box->done(0);
        });
    });
    CQtMessageBox service;
    return service.Show(nullptr, "Opravdu chcete ukončit program?", "Plavex", nType);
}

TEST(QtMessageBox, YesNoBoxAnswersToItsLettersAndDefaultsToYes)
{
    Seen seen;
    EXPECT_EQ(ShowAndAnswer(MB_YESNO | MB_ICONQUESTION, seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_N); }),
              IDNO);
    EXPECT_EQ(seen.buttons, (QStringList{"&Ano", "&Ne"}));
    EXPECT_EQ(seen.defaultButton, "&Ano");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.title, "Plavex");
    EXPECT_EQ(seen.text, "Opravdu chcete ukončit program?");

    EXPECT_EQ(ShowAndAnswer(MB_YESNO | MB_ICONQUESTION, seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_A); }),
              IDYES);
    EXPECT_EQ(ShowAndAnswer(MB_YESNO | MB_ICONQUESTION, seen,
                            [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_A, Qt::AltModifier); }),
              IDYES);
    EXPECT_EQ(ShowAndAnswer(MB_YESNO | MB_ICONQUESTION, seen,
                            [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }),
              IDYES);
    // Escape and closing the window answer no: nothing is ended by accident.
    EXPECT_EQ(ShowAndAnswer(MB_YESNO | MB_ICONQUESTION, seen,
                            [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }),
              IDNO);
    EXPECT_EQ(ShowAndAnswer(MB_YESNO | MB_ICONQUESTION, seen, [](QMessageBox* box) { box->close(); }), IDNO);
}

TEST(QtMessageBox, OkBoxesShowTheirIcon)
{
    Seen seen;
    EXPECT_EQ(ShowAndAnswer(MB_OK, seen, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }), IDOK);
    EXPECT_EQ(seen.buttons, (QStringList{"OK"}));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    Seen warning;
    EXPECT_EQ(ShowAndAnswer(MB_ICONEXCLAMATION, warning, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }),
              IDOK);
    EXPECT_EQ(warning.icon, QMessageBox::Warning);
}

} // namespace
