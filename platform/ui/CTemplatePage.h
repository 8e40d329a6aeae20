#pragma once

// A page built from a dialog template, shown inside a frame. Enter and
// Escape pressed anywhere in it stop here: leaving the page is the frame's
// business. Its values move between members and controls through its data
// exchange.

// Qt
#include <QWidget>

// Local
#include "platform/ui/CDataExchange.h"
#include "platform/ui/DialogItems.h"

class CTemplatePage : public QWidget {
public:
    CTemplatePage(int nIDTemplate, QWidget* pParent);

    // true: controls into members, stopping at the first field that cannot
    // be read (after telling the user, with that field focused); false:
    // members into controls. Gives whether every field was read.
    bool UpdateData(bool bSaveAndValidate = true);

    QWidget* Item(int nID) const { return m_items.Item(nID); }
    const DialogItems& Items() const { return m_items; }

protected:
    // Lists the page's fields in their order; the base has none.
    virtual void DoDataExchange(CDataExchange& dx);
    void keyPressEvent(QKeyEvent* pEvent) override;

    DialogItems m_items;
};
