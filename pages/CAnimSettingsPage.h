#pragma once

// The animation's output file, frame count, frame rate and frame size.

#include "pages/CPreviewWnd.h"
#include "platform/ui/CDialog.h"
#include "res/resource.h"

class CAnimSettingsPage : public CDialog {
public:
    enum { IDD = IDD_ANIM_SETTINGS };

    explicit CAnimSettingsPage(CWnd* pParent = nullptr);

    int m_nSizeMode;            // 0 automatic frame size, 1 custom
    int m_nHeight;
    int m_nWidth;
    int m_nFps;
    int m_nFrameCount;
    CString m_strOutputPath;

    // The frame's preview window, which the page opens and keeps informed.
    CPreviewWnd* m_pPreview = nullptr;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

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
