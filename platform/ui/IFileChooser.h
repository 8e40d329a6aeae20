#pragma once

// Asks the user for a file name. The layer owns a Qt implementation; tests
// install their own to answer and to record.

#include <vector>

#include "platform/ui/CString.h"
#include "platform/ui/WinUser.h"

struct FileFilter {
    CString description;            // as shown, e.g. "Avi soubory (*.avi)"
    std::vector<CString> patterns;  // e.g. "*.avi"
};

struct FileChooserRequest {
    BOOL bOpenFileDialog = TRUE;    // open, or save
    CString defaultExtension;       // without the dot; empty for none
    CString initialFileName;
    DWORD flags = 0;                // OFN_*
    std::vector<FileFilter> filters;
    HWND hOwner = nullptr;
};

class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // TRUE with the full path of the chosen file, FALSE when cancelled.
    virtual BOOL Choose(const FileChooserRequest& request, CString& pathName) = 0;
};

// Installs pChooser (null restores the Qt one) and returns the one it replaces.
IFileChooser* AfxSetFileChooser(IFileChooser* pChooser);
IFileChooser& AfxGetFileChooser();
