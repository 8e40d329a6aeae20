// The installed message box, file chooser and shell services, and the Qt
// ones that stand in when nothing else is installed.

#include "platform/ui/CQtFileChooser.h"
#include "platform/ui/CQtMessageBox.h"
#include "platform/ui/CQtShell.h"

namespace {

CQtMessageBox g_qtMessageBox;
CQtFileChooser g_qtFileChooser;
CQtShell g_qtShell;

IMessageBoxService* g_pMessageBox = &g_qtMessageBox;
IFileChooser* g_pFileChooser = &g_qtFileChooser;
IShellService* g_pShell = &g_qtShell;

template <class T, class Q>
T* Replace(T*& slot, T* pNew, Q& fallback)
{
    T* pOld = slot;
    slot = pNew ? pNew : &fallback;
    return pOld;
}

} // namespace

IMessageBoxService* AfxSetMessageBoxService(IMessageBoxService* pService)
{
    return Replace(g_pMessageBox, pService, g_qtMessageBox);
}
IMessageBoxService& AfxGetMessageBoxService() { return *g_pMessageBox; }

IFileChooser* AfxSetFileChooser(IFileChooser* pChooser) { return Replace(g_pFileChooser, pChooser, g_qtFileChooser); }
IFileChooser& AfxGetFileChooser() { return *g_pFileChooser; }

IShellService* AfxSetShellService(IShellService* pService) { return Replace(g_pShell, pService, g_qtShell); }
IShellService& AfxGetShellService() { return *g_pShell; }
