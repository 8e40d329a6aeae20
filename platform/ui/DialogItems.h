#pragma once

// The controls of a dialog template, built as children of a host widget: the
// host takes the template's font and size, each control its place in dialog
// units, and Tab visits them in template order. Radio buttons in a row make
// one group that Tab reaches on its checked button and the arrow keys move
// within. A one-line text that a wider font would cut off widens its control.

#include <utility>
#include <vector>

// Qt
#include <QWidget>

// Local
#include "res/DialogTemplate.h"
#include "platform/ui/DialogUnits.h"

class QKeyEvent;

// Enter (also the keypad's) and Escape, which a dialog answers itself.
enum class DialogKey { None, Enter, Escape };
DialogKey IsDialogKey(const QKeyEvent* pEvent);

class DialogItems {
public:
    // Builds the controls of template nIDTemplate, which must exist.
    DialogItems(int nIDTemplate, QWidget* pHost);

    // The control with identifier nID, or null.
    QWidget* Item(int nID) const;
    template <class W>
    W* Item(int nID) const
    {
        return qobject_cast<W*>(Item(nID));
    }

    const DialogTemplate& Template() const { return m_template; }
    DialogUnits Units() const { return DialogUnits::FromFont(m_pHost->font()); }

private:
    const DialogTemplate& m_template;
    QWidget* m_pHost;
    std::vector<std::pair<int, QWidget*>> m_items;
};
