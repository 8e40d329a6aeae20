#include "app/CWizardApp.h"

// Local
#include "app/CWizardDlg.h"

BEGIN_MESSAGE_MAP(CWizardApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// No name of its own: message boxes without a caption carry the program's file name.
CWizardApp::CWizardApp() : CWinApp(nullptr) {}

BOOL CWizardApp::InitInstance()
{
    // The command line is never looked at.
    CWizardDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
