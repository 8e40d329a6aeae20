#pragma once

// The still picture's output file, size and mixing ratio.

#include "pages/CPreviewWnd.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CSliderCtrl.h"
#include "res/resource.h"

class CStillSettingsPage : public CDialog {
public:
    enum { IDD = IDD_STILL_SETTINGS };

    explicit CStillSettingsPage(CWnd* pParent = nullptr);

    CSliderCtrl m_ctlRatio;     // position = share of the second picture in percent
    CString m_strOutputPath;
    CString m_strRatio;         // the ratio label's text, for display only
    int m_nSizeMode;            // 0 automatic picture size, 1 custom
    int m_nWidth;
    int m_nHeight;

    // The frame's preview window, which the page opens and keeps informed.
    CPreviewWnd* m_pPreview = nullptr;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    void OnBrowse();
    void OnSizeAuto();
    void OnSizeCustom();
    void OnPreview();
    // Hands the controls' present values to the preview.
    void OnValuesChanged();
    PreviewValues GetPreviewValues();

    DECLARE_MESSAGE_MAP()
};
