#pragma once

// Stand-ins for the modal services, for tests: each installs itself while it
// lives, answers from a script and records what it was asked.

#include <deque>
#include <vector>

#include "platform/ui/IFileChooser.h"
#include "platform/ui/IMessageBoxService.h"
#include "platform/ui/IShellService.h"

class CRecordingMessageBox : public IMessageBoxService {
public:
    struct Call {
        HWND hOwner;
        CString text;
        CString caption;
        UINT nType;
    };

    CRecordingMessageBox() : m_pPrevious(AfxSetMessageBoxService(this)) {}
    ~CRecordingMessageBox() override { AfxSetMessageBoxService(m_pPrevious); }
    int Show(HWND hOwner, const CString& text, const CString& caption, UINT nType) override;

    std::vector<Call> calls;
    std::deque<int> answers;   // given in order; then IDOK, or IDNO for a yes/no box

private:
    IMessageBoxService* m_pPrevious;
};

class CScriptedFileChooser : public IFileChooser {
public:
    CScriptedFileChooser() : m_pPrevious(AfxSetFileChooser(this)) {}
    ~CScriptedFileChooser() override { AfxSetFileChooser(m_pPrevious); }
    BOOL Choose(const FileChooserRequest& request, CString& pathName) override;

    std::vector<FileChooserRequest> requests;
    std::deque<CString> answers;   // an empty path cancels; no answer left cancels too

private:
    IFileChooser* m_pPrevious;
};

class CRecordingShell : public IShellService {
public:
    CRecordingShell() : m_pPrevious(AfxSetShellService(this)) {}
    ~CRecordingShell() override { AfxSetShellService(m_pPrevious); }
    BOOL Open(const CString& path) override
    {
        opened.push_back(path);
        return TRUE;
    }

    std::vector<CString> opened;

private:
    IShellService* m_pPrevious;
};
