#pragma once

// Message boxes as QMessageBox: buttons "OK", "Ano", "Ne" (and "Storno"),
// where pressing A or N answers; "Ano" is the default of a yes/no box.

#include "platform/ui/IMessageBoxService.h"

class CQtMessageBox : public IMessageBoxService {
public:
    int Show(HWND hOwner, const CString& text, const CString& caption, UINT nType) override;
};
