#pragma once

// Opens files with the desktop's default application. The layer owns a Qt
// implementation; tests install their own to record.

#include "platform/ui/CString.h"
#include "platform/ui/WinUser.h"

class IShellService {
public:
    virtual ~IShellService() = default;
    virtual BOOL Open(const CString& path) = 0;
};

// Installs pService (null restores the Qt one) and returns the one it replaces.
IShellService* AfxSetShellService(IShellService* pService);
IShellService& AfxGetShellService();
