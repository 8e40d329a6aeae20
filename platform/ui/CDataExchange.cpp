#include "platform/ui/CDataExchange.h"

#include <climits>
#include <cstdint>

// Qt
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QWidget>

// Local
#include "platform/ui/CWnd.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

CWnd* CDataExchange::PrepareCtrl(int nIDC)
{
    m_idLastControl = nIDC;
    m_bEditLastControl = FALSE;
    return m_pDlgWnd ? m_pDlgWnd->GetDlgItem(nIDC) : nullptr;
}

CWnd* CDataExchange::PrepareEditCtrl(int nIDC)
{
    CWnd* pCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return pCtrl;
}

void CDataExchange::Fail()
{
    m_bFailed = TRUE;
    if (!m_pDlgWnd || !m_idLastControl)
        return;
    CWnd* pCtrl = m_pDlgWnd->GetDlgItem(m_idLastControl);
    if (!pCtrl || !pCtrl->GetWidget())
        return;
    pCtrl->GetWidget()->setFocus(Qt::OtherFocusReason);
    if (m_bEditLastControl)
        if (auto* edit = qobject_cast<QLineEdit*>(pCtrl->GetWidget()))
            edit->selectAll();
}

BOOL CDataExchange::HasFailed() const { return m_bFailed; }

BOOL CDataExchange::ParseInt(std::string_view text, int& value)
{
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    skipBlanks();
    bool bNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        bNegative = text[i++] == '-';
    const size_t firstDigit = i;
    std::int64_t magnitude = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        magnitude = magnitude * 10 + (text[i++] - '0');
        if (magnitude > std::int64_t(INT_MAX) + 1)
            return FALSE;
    }
    if (i == firstDigit)
        return FALSE;
    skipBlanks();
    if (i != text.size())
        return FALSE;
    const std::int64_t signedValue = bNegative ? -magnitude : magnitude;
    if (signedValue > INT_MAX || signedValue < INT_MIN)
        return FALSE;
    value = static_cast<int>(signedValue);
    return TRUE;
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->HasFailed())
        return;
    CWnd* pCtrl = pDX->PrepareEditCtrl(nIDC);
    if (!pCtrl)
        return;
    if (pDX->m_bSaveAndValidate) {
        int parsed = 0;
        if (!CDataExchange::ParseInt(pCtrl->GetWindowText().str(), parsed)) {
            pDX->m_pDlgWnd->MessageBox("Zadejte celé číslo.", nullptr, MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
            return;
        }
        value = parsed;
    } else {
        CString text;
        text.Format("%d", value);
        pCtrl->SetWindowText(text);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    if (pDX->HasFailed())
        return;
    CWnd* pCtrl = pDX->PrepareEditCtrl(nIDC);
    if (!pCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = pCtrl->GetWindowText();
    else
        pCtrl->SetWindowText(value);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->HasFailed())
        return;
    CWnd* pCtrl = pDX->PrepareCtrl(nIDC);
    auto* first = pCtrl ? qobject_cast<QAbstractButton*>(pCtrl->GetWidget()) : nullptr;
    if (!first)
        return;
    QButtonGroup* group = first->group();
    const QList<QAbstractButton*> buttons = group ? group->buttons() : QList<QAbstractButton*>{first};
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (qsizetype i = 0; i < buttons.size(); ++i)
            if (buttons[i]->isChecked()) {
                value = static_cast<int>(i);
                break;
            }
    } else {
        // An exclusive group cannot be cleared by unchecking its button.
        const bool bExclusive = group && group->exclusive();
        if (group)
            group->setExclusive(false);
        for (qsizetype i = 0; i < buttons.size(); ++i)
            buttons[i]->setChecked(i == value);
        if (group)
            group->setExclusive(bExclusive);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->HasFailed())
        return;
    CWnd* pCtrl = pDX->PrepareCtrl(nIDC);
    if (!pCtrl)
        return;
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(pCtrl->SendMessage(BM_GETCHECK));
    } else {
        pCtrl->SendMessage(BM_SETCHECK, value == 2 ? 2 : (value != 0 ? BST_CHECKED : BST_UNCHECKED));
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (pDX->HasFailed())
        return;
    pDX->PrepareCtrl(nIDC);
    if (!rControl.GetSafeHwnd())
        rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (pDX->HasFailed() || !pDX->m_bSaveAndValidate)
        return;
    if (value < minVal || value > maxVal) {
        CString message;
        message.Format("Zadejte celé číslo od %d do %d.", minVal, maxVal);
        pDX->m_pDlgWnd->MessageBox(message, nullptr, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
