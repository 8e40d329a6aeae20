// The data exchange: a number read that the dialog framework would refuse or
// the reverse, and a failed read that goes on, loses the focus or says otherwise.

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QLineEdit>
#include <QTest>

// Local
#include "platform/ui/CDialog.h"
#include "tests/platform/support/TestServices.h"

namespace {

TEST(DataExchangeParseInt, AcceptsOnlyWholeNumbersThatFitInt32)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"42", true, 42},         {"  42  ", true, 42},      {"\t-7\t", true, -7},
        {"+15", true, 15},        {"0", true, 0},            {"-0", true, 0},
        {"2147483647", true, 2147483647},                    {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0}, {"-2147483649", false, 0}, {"99999999999999999999999", false, 0},
        {"", false, 0},           {"   ", false, 0},         {"-", false, 0},
        {"1a", false, 0},         {"a1", false, 0},          {"1 2", false, 0},
        {"0x10", false, 0},       {"1.5", false, 0},         {"1e3", false, 0},
        {"--1", false, 0},        {"\n1", false, 0},
    };
    for (const Case& c : cases) {
        int value = 12345;
        EXPECT_EQ(CDataExchange::ParseInt(c.text, value) != FALSE, c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : 12345) << '"' << c.text << '"';
    }
}

constexpr int IDC_A = 100, IDC_B = 101, IDC_C = 102, IDC_NAME = 103, IDC_R0 = 110, IDC_R1 = 111, IDC_R2 = 112,
              IDC_CHECK = 120;
constexpr DWORD kEdit = WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DialogItem kItems[] = {
    {IDC_A, DialogItemKind::Edit, "", 10, 10, 40, 14, kEdit | ES_NUMBER},
    {IDC_B, DialogItemKind::Edit, "", 10, 30, 40, 14, kEdit},
    {IDC_C, DialogItemKind::Edit, "", 10, 50, 40, 14, kEdit},
    {IDC_NAME, DialogItemKind::Edit, "", 10, 70, 80, 14, kEdit},
    {IDC_R0, DialogItemKind::RadioButton, "Nula", 100, 10, 50, 10, WS_VISIBLE | WS_GROUP},
    {IDC_R1, DialogItemKind::RadioButton, "Jedna", 100, 22, 50, 10, WS_VISIBLE},
    {IDC_R2, DialogItemKind::RadioButton, "Dvě", 100, 34, 50, 10, WS_VISIBLE},
    {IDC_CHECK, DialogItemKind::CheckBox, "Ano", 100, 50, 50, 10, WS_VISIBLE | WS_TABSTOP},
};
constexpr DialogTemplate kTemplate{900, 0, 0, 200, 100, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, "Test",
                                   "MS Sans Serif", 8, kItems};

class CFieldsDialog : public CDialog {
public:
    CFieldsDialog() : CDialog(kTemplate) {}
    int m_nA = 1, m_nB = 2, m_nC = 3, m_nChoice = 1, m_bCheck = 0;
    CString m_strName = "jméno";

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_A, m_nA);
        DDX_Text(pDX, IDC_B, m_nB);
        DDV_MinMaxInt(pDX, m_nB, 1, 10);
        DDX_Text(pDX, IDC_C, m_nC);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Radio(pDX, IDC_R0, m_nChoice);
        DDX_Check(pDX, IDC_CHECK, m_bCheck);
    }
};

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dlg.Create(kTemplate.nID, nullptr));
        dlg.GetWidget()->show();
        dlg.GetWidget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.GetWidget()));
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(dlg.GetDlgItem(id)->GetWidget()); }

    CRecordingMessageBox boxes;
    CFieldsDialog dlg;
};

TEST_F(DataExchangeTest, FieldThatIsNoNumberStopsTheExchangeThere)
{
    Edit(IDC_A)->setText("5");
    Edit(IDC_B)->setText("abc");
    Edit(IDC_C)->setText("9");
    Edit(IDC_NAME)->setText("nové");
    EXPECT_FALSE(dlg.UpdateData(TRUE));

    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Zadejte celé číslo.");
    EXPECT_EQ(boxes.calls[0].nType, MB_ICONEXCLAMATION);
    EXPECT_EQ(boxes.calls[0].caption, "test_platform_ui");
    EXPECT_EQ(dlg.m_nA, 5);               // read before the bad field
    EXPECT_EQ(dlg.m_nB, 2);               // the bad field keeps its value
    EXPECT_EQ(dlg.m_nC, 3);               // nothing after it is read
    EXPECT_EQ(dlg.m_strName, "jméno");
    EXPECT_EQ(QApplication::focusWidget(), Edit(IDC_B));
    EXPECT_EQ(Edit(IDC_B)->selectedText(), "abc");
}

TEST_F(DataExchangeTest, DigitsOnlyEditRefusesTypedLettersAndSigns)
{
    QLineEdit* edit = Edit(IDC_A);
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, "1a-2 +3");
    EXPECT_EQ(edit->text(), "123");
    QLineEdit* plain = Edit(IDC_B);
    plain->clear();
    QTest::keyClicks(plain, "-4");
    EXPECT_EQ(plain->text(), "-4");
}

} // namespace
