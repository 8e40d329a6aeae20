#pragma once

// The end of the still-picture road: open the result, start again.

#include "platform/ui/CDialog.h"
#include "res/resource.h"

class CStillDonePage : public CDialog {
public:
    enum { IDD = IDD_STILL_DONE };

    explicit CStillDonePage(CWnd* pParent = nullptr);

    int m_bOpenResult;
    int m_bStartAgain;

    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
