#pragma once

// The first page: a greeting and the product title painted in large red
// letters with a black shadow.

#include "platform/ui/CDialog.h"
#include "platform/ui/CFont.h"
#include "res/resource.h"

class CWelcomePage : public CDialog {
public:
    enum { IDD = IDD_WELCOME };

    explicit CWelcomePage(CWnd* pParent = nullptr);

    CFont m_fontTitle;

    // Enter and Escape inside the page do nothing.
    void OnOK() override;
    void OnCancel() override;

    void OnPaint();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
