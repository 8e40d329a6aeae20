#pragma once

// The page where the user picks the two source pictures and what to make.

#include "platform/ui/CDialog.h"
#include "res/resource.h"

class CPictureCache;

class CSourcePage : public CDialog {
public:
    enum { IDD = IDD_SOURCE };

    explicit CSourcePage(CWnd* pParent = nullptr);

    int m_nMode;                // 0 the animation, 1 the still picture
    CString m_strFirstPath;
    CString m_strSecondPath;

    void OnOK() override;
    void OnCancel() override;

    // Where the thumbnails come from; without it the page shows none.
    void SetPictureCache(CPictureCache* pPictures);

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    void OnBrowseFirst();
    void OnBrowseSecond();
    void OnPathChanged();

    DECLARE_MESSAGE_MAP()

private:
    void BrowseInto(int nIDEdit);
    // Beside each chosen path its picture, small and upright, or under the
    // path why it cannot be loaded, or that it is still loading.
    void ShowThumbnails();

    CPictureCache* m_pPictures = nullptr;
};
