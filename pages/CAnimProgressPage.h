#pragma once

// Shown while the animation is rendered; the render writes its texts and bar.

#include "platform/ui/CDialog.h"
#include "platform/ui/CProgressCtrl.h"
#include "res/resource.h"

class CAnimProgressPage : public CDialog {
public:
    enum { IDD = IDD_ANIM_PROGRESS };

    explicit CAnimProgressPage(CWnd* pParent = nullptr);

    CProgressCtrl m_ctlProgress;
    CString m_strPercent;
    CString m_strFrame;

    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
