#include "platform/ui/CQtMessageBox.h"

// Qt
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

int CQtMessageBox::Show(HWND hOwner, const CString& text, const CString& caption, UINT nType)
{
    auto* pOwner = reinterpret_cast<QWidget*>(hOwner);
    QMessageBox box(pOwner ? pOwner->window() : nullptr);
    box.setWindowTitle(QString::fromUtf8(caption.GetString()));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(text.GetString()));

    switch (nType & MB_ICONMASK) {
    case MB_ICONHAND:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }

    // The letter after & answers the box when pressed, with or without Alt.
    QPushButton* pOk = nullptr;
    QPushButton* pYes = nullptr;
    QPushButton* pNo = nullptr;
    QPushButton* pCancel = nullptr;
    int nDismissed = IDCANCEL;
    switch (nType & MB_TYPEMASK) {
    case MB_YESNO:
        pYes = box.addButton(QStringLiteral("&Ano"), QMessageBox::YesRole);
        pNo = box.addButton(QStringLiteral("&Ne"), QMessageBox::NoRole);
        box.setDefaultButton(pYes);
        box.setEscapeButton(pNo);
        nDismissed = IDNO;
        break;
    case MB_YESNOCANCEL:
        pYes = box.addButton(QStringLiteral("&Ano"), QMessageBox::YesRole);
        pNo = box.addButton(QStringLiteral("&Ne"), QMessageBox::NoRole);
        pCancel = box.addButton(QStringLiteral("Storno"), QMessageBox::RejectRole);
        box.setDefaultButton(pYes);
        box.setEscapeButton(pCancel);
        break;
    case MB_OKCANCEL:
        pOk = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        pCancel = box.addButton(QStringLiteral("Storno"), QMessageBox::RejectRole);
        box.setDefaultButton(pOk);
        box.setEscapeButton(pCancel);
        break;
    default:
        pOk = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(pOk);
        box.setEscapeButton(pOk);
        nDismissed = IDOK;
        break;
    }

    box.exec();
    QAbstractButton* pClicked = box.clickedButton();
    if (pClicked && pClicked == pOk)
        return IDOK;
    if (pClicked && pClicked == pYes)
        return IDYES;
    if (pClicked && pClicked == pNo)
        return IDNO;
    if (pClicked && pClicked == pCancel)
        return IDCANCEL;
    // Closed some other way: the answer that changes nothing.
    return nDismissed;
}
