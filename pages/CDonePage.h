#pragma once

// The end of a road: the check boxes that open the result and start the
// wizard again when "Dokončit" is pressed.

// Local
#include "platform/ui/CTemplatePage.h"

class QAbstractButton;

// The page's values and their defaults.
struct DoneValues {
    int m_bOpenResult = 0;
    int m_bStartAgain = 0;
};

class CDonePage : public CTemplatePage, public DoneValues {
public:
    // IDD_ANIM_DONE or IDD_STILL_DONE.
    CDonePage(int nIDTemplate, QWidget* pParent = nullptr);

    // Sets the values back to their defaults and shows them.
    void Reset();

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    QAbstractButton* m_pOpenResult;
    QAbstractButton* m_pStartAgain;
};
