#pragma once

// The end of the animation road: open the result, start again.

#include "platform/ui/CDialog.h"
#include "res/resource.h"

class CAnimDonePage : public CDialog {
public:
    enum { IDD = IDD_ANIM_DONE };

    explicit CAnimDonePage(CWnd* pParent = nullptr);

    int m_bOpenResult;
    int m_bStartAgain;

    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
