#pragma once

// A wizard frame on real widgets with its modal services replaced: message
// boxes answer from a script and are recorded, file choosers hand out queued
// paths, opening a file only records it, and the compressor is chosen
// without a dialog.

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Qt
#include <QAbstractButton>
#include <QLineEdit>
#include <QWidget>

// Local
#include "app/CWizardDlg.h"
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "platform/ui/IFileChooser.h"
#include "platform/ui/IMessageBoxService.h"
#include "platform/ui/IShellService.h"

struct ShownMessage {
    std::string strText;
    std::string strCaption;
    UINT nType;
};

class CScriptedMessageBoxes : public IMessageBoxService {
public:
    int Show(HWND, const CString& text, const CString& caption, UINT nType) override
    {
        m_shown.push_back({text.str(), caption.str(), nType});
        if (m_onShow)
            m_onShow();
        if (!m_answers.empty()) {
            const int nAnswer = m_answers.front();
            m_answers.pop_front();
            return nAnswer;
        }
        return (nType & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    }

    std::vector<ShownMessage> m_shown;
    std::deque<int> m_answers;      // given in order; then "Ne" or "OK"
    std::function<void()> m_onShow; // runs while a box is up
};

class CQueuedFileChooser : public IFileChooser {
public:
    BOOL Choose(const FileChooserRequest& request, CString& pathName) override
    {
        m_requests.push_back(request);
        if (m_paths.empty() || m_paths.front().empty()) {
            if (!m_paths.empty())
                m_paths.pop_front();
            return FALSE;
        }
        pathName = CString(m_paths.front());
        m_paths.pop_front();
        return TRUE;
    }

    std::deque<std::string> m_paths; // an empty path cancels
    std::vector<FileChooserRequest> m_requests;
};

class CRecordingShell : public IShellService {
public:
    BOOL Open(const CString& path) override
    {
        m_opened.push_back(path.str());
        return TRUE;
    }
    std::vector<std::string> m_opened;
};

template <typename TService, auto Install>
class CServiceGuard {
public:
    explicit CServiceGuard(TService* pService) : m_pPrevious(Install(pService)) {}
    ~CServiceGuard() { Install(m_pPrevious); }
    CServiceGuard(const CServiceGuard&) = delete;
    CServiceGuard& operator=(const CServiceGuard&) = delete;

private:
    TService* m_pPrevious;
};

inline CFixedCompressionChooser::Options FullFrames()
{
    CFixedCompressionChooser::Options options;
    options.fccHandler = comptypeDIB;
    return options;
}

class WizardHarness {
public:
    explicit WizardHarness(CFixedCompressionChooser::Options compression = FullFrames())
        : m_compression(compression)
    {
        m_dlg.Create(IDD_WIZARD, nullptr);
    }

    CScriptedMessageBoxes m_boxes;
    CQueuedFileChooser m_files;
    CRecordingShell m_shell;
    CFixedCompressionChooser m_compression;

private:
    CServiceGuard<IMessageBoxService, AfxSetMessageBoxService> m_boxesGuard{&m_boxes};
    CServiceGuard<IFileChooser, AfxSetFileChooser> m_filesGuard{&m_files};
    CServiceGuard<IShellService, AfxSetShellService> m_shellGuard{&m_shell};
    CCompressionChooserGuard m_compressionGuard{&m_compression};

public:
    CWizardDlg m_dlg;

    static QWidget* Control(const CWnd& wnd, int nID)
    {
        CWnd* pItem = wnd.GetDlgItem(nID);
        return pItem ? pItem->GetWidget() : nullptr;
    }

    // Clicks a control as the user would: a disabled one ignores it.
    static void Click(const CWnd& wnd, int nID)
    {
        if (auto* pButton = qobject_cast<QAbstractButton*>(Control(wnd, nID)))
            pButton->click();
    }

    static void Type(const CWnd& wnd, int nID, const std::string& strText)
    {
        if (auto* pEdit = qobject_cast<QLineEdit*>(Control(wnd, nID)))
            pEdit->setText(QString::fromStdString(strText));
    }

    static std::string Text(const CWnd& wnd, int nID)
    {
        CWnd* pItem = wnd.GetDlgItem(nID);
        return pItem ? pItem->GetWindowText().str() : std::string();
    }

    static bool Shown(const CWnd& wnd) { return wnd.GetWidget() && !wnd.GetWidget()->isHidden(); }

    void Next() { Click(m_dlg, IDC_NEXT); }
    void Prev() { Click(m_dlg, IDC_PREV); }
    bool Enabled(int nID) const { return Control(m_dlg, nID) && Control(m_dlg, nID)->isEnabled(); }

    // The pages that are shown; exactly one outside a render.
    std::vector<const CDialog*> ShownPages() const
    {
        const CWizardDlg& d = m_dlg;
        std::vector<const CDialog*> pages;
        for (const CDialog* pPage : std::initializer_list<const CDialog*>{
                 &d.m_pageWelcome, &d.m_pageSource, &d.m_pageAnimSettings, &d.m_pageAnimProgress, &d.m_pageAnimDone,
                 &d.m_pageStillSettings, &d.m_pageStillProgress, &d.m_pageStillDone})
            if (Shown(*pPage))
                pages.push_back(pPage);
        return pages;
    }
    bool OnlyShown(const CDialog& page) const
    {
        const auto pages = ShownPages();
        return pages.size() == 1 && pages.front() == &page;
    }

    // Picks both pictures and the mode on the source page, coming from the welcome page.
    void ChooseSources(const std::string& strFirst, const std::string& strSecond, int nMode)
    {
        Next();
        m_files.m_paths = {strFirst, strSecond};
        Click(m_dlg.m_pageSource, IDC_BROWSE);
        Click(m_dlg.m_pageSource, IDC_BROWSE_SECOND);
        Click(m_dlg.m_pageSource, nMode == 0 ? IDC_RADIO_FIRST : IDC_RADIO_SECOND);
        Next();
    }

    // Names the output on the settings page that is shown.
    void ChooseOutput(const std::string& strPath)
    {
        m_files.m_paths = {strPath};
        Click(m_dlg.m_nPage == 10 ? static_cast<const CWnd&>(m_dlg.m_pageStillSettings)
                                  : static_cast<const CWnd&>(m_dlg.m_pageAnimSettings),
              IDC_BROWSE);
    }

    // Texts of the message boxes shown so far.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const ShownMessage& shown : m_boxes.m_shown)
            texts.push_back(shown.strText);
        return texts;
    }
};
