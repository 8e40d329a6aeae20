// Message boxes as QMessageBox, with the buttons "OK", or "Ano" (the
// default) and "Ne", where pressing A or N answers.

#include "platform/ui/IMessageBox.h"

// Qt
#include <QCoreApplication>
#include <QFileInfo>
#include <QPushButton>

namespace {

class CQtMessageBox : public IMessageBox {
public:
    QMessageBox::StandardButton Show(QWidget* pOwner, const QString& strText, const QString& strCaption,
                                     QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) override
    {
        QMessageBox box(pOwner ? pOwner->window() : nullptr);
        box.setWindowTitle(strCaption);
        box.setTextFormat(Qt::PlainText);
        box.setText(strText);
        box.setIcon(icon);

        // The letter after & answers the box when pressed, with or without Alt.
        QPushButton* pOk = nullptr;
        QPushButton* pYes = nullptr;
        if (buttons & QMessageBox::Yes) {
            pYes = box.addButton(QStringLiteral("&Ano"), QMessageBox::YesRole);
            QPushButton* pNo = box.addButton(QStringLiteral("&Ne"), QMessageBox::NoRole);
            box.setDefaultButton(pYes);
            box.setEscapeButton(pNo);
        } else {
            pOk = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            box.setDefaultButton(pOk);
            box.setEscapeButton(pOk);
        }
        box.exec();
        if (pYes)
            return box.clickedButton() == pYes ? QMessageBox::Yes : QMessageBox::No;
        return QMessageBox::Ok;
    }
};

} // namespace

template <>
IMessageBox& Seam<IMessageBox>::QtService()
{
    static CQtMessageBox box;
    return box;
}

QMessageBox::StandardButton ShowMessage(QWidget* pOwner, const QString& strText, const QString& strCaption,
                                        QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)
{
    const QString strTitle =
        strCaption.isEmpty() ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() : strCaption;
    return IMessageBox::Current().Show(pOwner, strText, strTitle, icon, buttons);
}
