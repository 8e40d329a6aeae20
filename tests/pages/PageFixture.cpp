// Guards nothing itself: the page fixture's frame and its clicks and typing.

#include "tests/pages/PageFixture.h"

// Qt
#include <QAbstractButton>
#include <QApplication>
#include <QTest>

// Local
#include "res/resource.h"

CTestFrame::CTestFrame() : CDialog(IDD_WIZARD) {}

void PageTest::SetUp()
{
    ASSERT_TRUE(frame.Create(IDD_WIZARD, nullptr));
    frame.GetWidget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.GetWidget()));
}

void PageTest::Show(CDialog& page)
{
    ASSERT_TRUE(page.Create(page.GetTemplateID(), &frame));
    page.ShowWindow(SW_SHOW);
}

QLineEdit* PageTest::Edit(CDialog& page, int nID) const
{
    return qobject_cast<QLineEdit*>(page.GetDlgItem(nID)->GetWidget());
}

QString PageTest::Text(CDialog& page, int nID) const
{
    return QString::fromUtf8(page.GetDlgItem(nID)->GetWindowText().GetString());
}

bool PageTest::Enabled(CDialog& page, int nID) const { return page.GetDlgItem(nID)->IsWindowEnabled(); }

bool PageTest::Checked(CDialog& page, int nID) const
{
    return page.GetDlgItem(nID)->SendMessage(BM_GETCHECK) == BST_CHECKED;
}

void PageTest::Click(CDialog& page, int nID) const
{
    QTest::mouseClick(page.GetDlgItem(nID)->GetWidget(), Qt::LeftButton);
}

void PageTest::Type(CDialog& page, int nID, const char* text) const
{
    QLineEdit* edit = Edit(page, nID);
    edit->selectAll();
    edit->setFocus();
    if (*text)
        QTest::keyClicks(edit, QString::fromUtf8(text));
    else
        QTest::keyClick(edit, Qt::Key_Delete);
}
