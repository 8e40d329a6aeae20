#pragma once

// Opening files through QDesktopServices.

#include "platform/ui/IShellService.h"

class CQtShell : public IShellService {
public:
    BOOL Open(const CString& path) override;
};
