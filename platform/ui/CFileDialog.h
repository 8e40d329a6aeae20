#pragma once

// The open and save file chooser. The filter is the window system's
// "Description|*.a;*.b|...||" text. In save mode a chosen name without an
// extension gets the default one.

#include "platform/ui/IFileChooser.h"

class CWnd;

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);

    // IDOK with a chosen file, IDCANCEL otherwise.
    INT_PTR DoModal();
    CString GetPathName() const;
    CString GetFileName() const;
    const FileChooserRequest& GetRequest() const { return m_request; }

    static std::vector<FileFilter> ParseFilter(const char* lpszFilter);

private:
    FileChooserRequest m_request;
    CString m_strPathName;
};
