#pragma once

// Shown while the still picture is rendered; the render writes its text and bar.

#include "platform/ui/CDialog.h"
#include "platform/ui/CProgressCtrl.h"
#include "res/resource.h"

class CStillProgressPage : public CDialog {
public:
    enum { IDD = IDD_STILL_PROGRESS };

    explicit CStillProgressPage(CWnd* pParent = nullptr);

    CProgressCtrl m_ctlProgress;
    CString m_strPercent;

    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
