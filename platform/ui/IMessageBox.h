#pragma once

// Message boxes owned by a window.

// Qt
#include <QMessageBox>

// Local
#include "platform/ui/Seam.h"

class IMessageBox : public Seam<IMessageBox> {
public:
    virtual ~IMessageBox() = default;
    // buttons is Ok, or Yes | No. Gives the button pressed; a box closed
    // otherwise gives the answer that changes nothing (Ok, or No).
    virtual QMessageBox::StandardButton Show(QWidget* pOwner, const QString& strText, const QString& strCaption,
                                             QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) = 0;
};
template <> IMessageBox& Seam<IMessageBox>::QtService();

// Shows a box on the installed service. A box given no caption carries the
// program's file name, as the desktop names the program.
QMessageBox::StandardButton ShowMessage(QWidget* pOwner, const QString& strText, const QString& strCaption = {},
                                        QMessageBox::Icon icon = QMessageBox::NoIcon,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);
