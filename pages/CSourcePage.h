#pragma once

// The page where the user picks the two source pictures and what to make.

#include "platform/ui/CDialog.h"
#include "res/resource.h"

class CSourcePage : public CDialog {
public:
    enum { IDD = IDD_SOURCE };

    explicit CSourcePage(CWnd* pParent = nullptr);

    int m_nMode;                // 0 the animation, 1 the still picture
    CString m_strFirstPath;
    CString m_strSecondPath;

    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    void OnBrowseFirst();
    void OnBrowseSecond();

    DECLARE_MESSAGE_MAP()

private:
    void BrowseInto(int nIDEdit);
};
