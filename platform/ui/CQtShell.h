#pragma once

// Files opened through QDesktopServices.

#include "platform/ui/IShell.h"

class CQtShell : public IShell {
public:
    bool Open(const QString& strPath) override;
};
