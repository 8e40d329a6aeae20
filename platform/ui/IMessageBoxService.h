#pragma once

// Shows message boxes. The layer owns a Qt implementation; tests install
// their own to answer and to record.

#include "platform/ui/CString.h"
#include "platform/ui/WinUser.h"

class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // nType is MB_OK, MB_OKCANCEL, MB_YESNO or MB_YESNOCANCEL with an MB_ICON*
    // bit; returns IDOK, IDCANCEL, IDYES or IDNO. The caption is never null.
    virtual int Show(HWND hOwner, const CString& text, const CString& caption, UINT nType) = 0;
};

// Installs pService (null restores the Qt one) and returns the one it replaces.
IMessageBoxService* AfxSetMessageBoxService(IMessageBoxService* pService);
IMessageBoxService& AfxGetMessageBoxService();
