#include "app/CWizardApp.h"

#include <csignal>

// Local
#include "app/CWizardDlg.h"

bool CWizardApp::InitInstance()
{
    // A file that outgrows the process's file-size limit fails its write
    // like a full disk, which the wizard reports, instead of ending the
    // program with its output half-written.
    std::signal(SIGXFSZ, SIG_IGN);

    CWizardDlg dlg;
    dlg.exec();
    return false;
}
