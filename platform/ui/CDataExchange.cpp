#include "platform/ui/CDataExchange.h"

#include <charconv>

// Qt
#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>

// Local
#include "platform/ui/IMessageBox.h"

CDataExchange::CDataExchange(QWidget* pPage, bool bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pPage(pPage)
{
}

void CDataExchange::Fail(QLineEdit* pField, const QString& strMessage)
{
    ShowMessage(m_pPage, strMessage, QString(), QMessageBox::Warning);
    m_bFailed = true;
    pField->setFocus(Qt::OtherFocusReason);
    pField->selectAll();
}

bool CDataExchange::ParseInt(std::string_view text, int& nValue)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // from_chars takes a minus sign but no plus sign, and no sign after one.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    int nRead = 0;
    const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), nRead);
    if (text.empty() || error != std::errc() || pEnd != text.data() + text.size())
        return false;
    nValue = nRead;
    return true;
}

void CDataExchange::Number(QLineEdit* pEdit, int& nValue, int nMin, int nMax)
{
    if (m_bFailed)
        return;
    if (!m_bSaveAndValidate) {
        QString strText = QString::number(nValue);
        Text(pEdit, strText);
    } else if (!ParseInt(pEdit->text().toStdString(), nValue)) {
        Fail(pEdit, QStringLiteral("Zadejte celé číslo."));
    } else if (nValue < nMin || nValue > nMax) {
        Fail(pEdit, QStringLiteral("Zadejte celé číslo od %1 do %2.").arg(nMin).arg(nMax));
    }
}

void CDataExchange::Text(QLineEdit* pEdit, QString& strValue)
{
    if (m_bFailed)
        return;
    if (m_bSaveAndValidate) {
        strValue = pEdit->text();
        return;
    }
    // QLineEdit would show the end of a text too long for the box.
    pEdit->setText(strValue);
    pEdit->setCursorPosition(0);
}

void CDataExchange::Text(QLabel* pLabel, QString& strValue)
{
    if (m_bFailed)
        return;
    if (m_bSaveAndValidate)
        strValue = pLabel->text();
    else
        pLabel->setText(strValue);
}

void CDataExchange::Radio(QAbstractButton* pFirst, int& nValue)
{
    if (m_bFailed)
        return;
    QButtonGroup& group = *pFirst->group();
    const QList<QAbstractButton*> buttons = group.buttons();
    if (m_bSaveAndValidate) {
        nValue = static_cast<int>(buttons.indexOf(group.checkedButton()));
        return;
    }
    // An exclusive group cannot be cleared by unchecking its button.
    group.setExclusive(false);
    for (qsizetype i = 0; i < buttons.size(); ++i)
        buttons[i]->setChecked(i == nValue);
    group.setExclusive(true);
}

void CDataExchange::Check(QAbstractButton* pBox, int& nValue)
{
    if (m_bFailed)
        return;
    if (m_bSaveAndValidate)
        nValue = pBox->isChecked() ? 1 : 0;
    else
        pBox->setChecked(nValue != 0);
}
