#pragma once

// The application object: its start-up runs the wizard's frame once, modally,
// and the program ends when the frame closes.

// Local
#include "platform/ui/CWinApp.h"

class CWizardApp : public CWinApp {
public:
    CWizardApp();

    // Runs the frame and returns FALSE, so the program ends with it.
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
