#pragma once

// The application object. The program defines exactly one global instance;
// AfxWinMain sets up Qt, runs its InitInstance and ends when that returns.

#include "platform/ui/CCmdTarget.h"
#include "platform/ui/CString.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // A null name means the executable's file name.
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // The program's icon nID; the same handle on every call, kept until the
    // Qt application ends. Null when the program has no such icon or there is
    // no Qt application yet.
    HICON LoadIcon(UINT nIDResource) const;

    // The framework's help command. The program comes with no help file, so
    // there is nothing to show.
    void OnHelp();

    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The application object's name, else the executable's file name without extension.
CString AfxGetAppName();
// The program's entry: creates the QApplication when there is none, runs the
// application object's InitInstance and returns the exit code.
int AfxWinMain(int argc, char* argv[]);
// Handles every event waiting in the user-interface thread's queue, then
// returns. Long work on that thread calls it regularly so windows keep painting.
void AfxPumpMessages();
// Opens a file with the desktop's default application for its type. Returns
// a value above 32 on success, as the window system's shell does.
INT_PTR ShellExecuteA(HWND hWnd, const char* lpOperation, const char* lpFile, const char* lpParameters,
                      const char* lpDirectory, int nShowCmd);
