#pragma once

// Moving values between a page's controls and its members. A page's
// DoDataExchange lists its fields in order; reading stops at the first field
// that cannot be read: the user is told why, the field gets the focus with
// its text selected, and the fields after it are left alone. Fields read
// before it keep their new values, and so does a number that failed only
// its range check.

#include <climits>
#include <string_view>

// Qt
#include <QString>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

class CDataExchange {
public:
    // bSaveAndValidate: controls into members, else members into controls.
    CDataExchange(QWidget* pPage, bool bSaveAndValidate);

    const bool m_bSaveAndValidate;
    bool HasFailed() const { return m_bFailed; }

    // A whole number in an edit; read, it must also lie in nMin .. nMax.
    void Number(QLineEdit* pEdit, int& nValue, int nMin = INT_MIN, int nMax = INT_MAX);
    // A text shown from its start, also when it is longer than its box.
    void Text(QLineEdit* pEdit, QString& strValue);
    void Text(QLabel* pLabel, QString& strValue);
    // The index of the checked button in the radio group of pFirst, -1 when none.
    void Radio(QAbstractButton* pFirst, int& nValue);
    // 0 clear, 1 ticked.
    void Check(QAbstractButton* pBox, int& nValue);

    // A whole number as the exchange accepts it: optional blanks, an optional
    // sign, decimal digits, optional blanks, and nothing else; the value must
    // fit a signed 32-bit integer.
    static bool ParseInt(std::string_view text, int& nValue);

private:
    void Fail(QLineEdit* pField, const QString& strMessage);

    QWidget* m_pPage;
    bool m_bFailed = false;
};
