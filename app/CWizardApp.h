#pragma once

// The application: its start-up runs the wizard's frame once, modally, and
// the program ends when the frame closes.

class CWizardApp {
public:
    // Runs the frame; gives false, so the program ends with it.
    bool InitInstance();
};
