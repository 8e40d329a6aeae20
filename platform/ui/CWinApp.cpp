#include "platform/ui/CWinApp.h"

#include <map>
#include <memory>

// Qt
#include <QApplication>
#include <QFileInfo>
#include <QIcon>

// Local
#include "platform/ui/CWnd.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/IShellService.h"

namespace {

CWinApp* g_pApp = nullptr;

// Icons live as long as the Qt application, so handles given out stay valid
// while any window can use them, and no pixmap outlives the application.
std::map<UINT, std::unique_ptr<QIcon>>& IconCache()
{
    static std::map<UINT, std::unique_ptr<QIcon>> cache;
    return cache;
}

void ReleaseIcons() { IconCache().clear(); }

} // namespace

CWinApp::CWinApp(const char* lpszAppName) : m_pszAppName(lpszAppName) { g_pApp = this; }

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return 0; }

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    auto& cache = IconCache();
    auto it = cache.find(nIDResource);
    if (it == cache.end()) {
        const char* path = AfxFindIconResource(nIDResource);
        if (!path || !QCoreApplication::instance())
            return nullptr;
        if (cache.empty())
            qAddPostRoutine(ReleaseIcons);
        auto icon = std::make_unique<QIcon>(QString::fromUtf8(path));
        if (icon->isNull())
            return nullptr;
        it = cache.emplace(nIDResource, std::move(icon)).first;
    }
    return reinterpret_cast<HICON>(it->second.get());
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_pApp; }
CWnd* AfxGetMainWnd() { return g_pApp ? g_pApp->m_pMainWnd : nullptr; }

CString AfxGetAppName()
{
    if (g_pApp && g_pApp->m_pszAppName)
        return CString(g_pApp->m_pszAppName);
    if (QCoreApplication::instance())
        return CString(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toUtf8().toStdString());
    return CString();
}

int AfxWinMain(int argc, char* argv[])
{
    std::unique_ptr<QApplication> pQtApp;
    if (!QCoreApplication::instance())
        pQtApp = std::make_unique<QApplication>(argc, argv);
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return 1;
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    const int nCode = QApplication::exec();
    pApp->ExitInstance();
    return nCode;
}

void AfxPumpMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

INT_PTR ShellExecuteA(HWND, const char*, const char* lpFile, const char*, const char*, int)
{
    constexpr INT_PTR kFileNotFound = 2;
    constexpr INT_PTR kSuccess = 33;
    if (!lpFile || !*lpFile)
        return kFileNotFound;
    return AfxGetShellService().Open(CString(lpFile)) ? kSuccess : kFileNotFound;
}
