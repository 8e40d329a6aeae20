#include "app/CWizardApp.h"

#include <csignal>

// Local
#include "app/CWizardDlg.h"

BEGIN_MESSAGE_MAP(CWizardApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// No name of its own: message boxes without a caption carry the program's file name.
CWizardApp::CWizardApp() : CWinApp(nullptr) {}

BOOL CWizardApp::InitInstance()
{
    // A file that outgrows the process's file-size limit fails its write
    // like a full disk, which the wizard reports, instead of ending the
    // program with its output half-written.
    std::signal(SIGXFSZ, SIG_IGN);

    // The command line is never looked at.
    CWizardDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
