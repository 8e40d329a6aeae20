#pragma once

// Guards nothing itself: a wizard frame on real widgets with its modal
// services replaced by the recording stand-ins, the compressor chosen without
// a dialog, and the user's clicks and typing.

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
#include "tests/platform/support/TestServices.h"

inline CFixedCompressionChooser::Options FullFrames()
{
    CFixedCompressionChooser::Options options;
    options.fccHandler = comptypeDIB;
    return options;
}

class WizardHarness {
public:
    explicit WizardHarness(CFixedCompressionChooser::Options compression = FullFrames()) : m_compression(compression)
    {
        m_dlg.Create(IDD_WIZARD, nullptr);
    }

    // The services outlive the frame: they are made before it and go after it.
    CRecordingMessageBox m_boxes;
    CScriptedFileChooser m_files;
    CRecordingShell m_shell;
    CFixedCompressionChooser m_compression;

private:
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

    void Next() { Click(m_dlg, IDC_NEXT); }
    void Prev() { Click(m_dlg, IDC_PREV); }
    bool Enabled(int nID) const { return Control(m_dlg, nID) && Control(m_dlg, nID)->isEnabled(); }

    // Whether the page is the only one shown, as outside a render.
    bool OnlyShown(const CDialog& page) const
    {
        const CWizardDlg& d = m_dlg;
        int nShown = 0;
        for (const CDialog* pPage : {static_cast<const CDialog*>(&d.m_pageWelcome), static_cast<const CDialog*>(&d.m_pageSource),
                                     static_cast<const CDialog*>(&d.m_pageAnimSettings), static_cast<const CDialog*>(&d.m_pageAnimProgress),
                                     static_cast<const CDialog*>(&d.m_pageAnimDone), static_cast<const CDialog*>(&d.m_pageStillSettings),
                                     static_cast<const CDialog*>(&d.m_pageStillProgress), static_cast<const CDialog*>(&d.m_pageStillDone)})
            nShown += pPage->GetWidget() && !pPage->GetWidget()->isHidden();
        return nShown == 1 && page.GetWidget() && !page.GetWidget()->isHidden();
    }

    // Picks both pictures and the mode on the source page, coming from the welcome page.
    void ChooseSources(const std::string& strFirst, const std::string& strSecond, int nMode)
    {
        Next();
        m_files.answers = {strFirst, strSecond};
        Click(m_dlg.m_pageSource, IDC_BROWSE);
        Click(m_dlg.m_pageSource, IDC_BROWSE_SECOND);
        Click(m_dlg.m_pageSource, nMode == 0 ? IDC_RADIO_FIRST : IDC_RADIO_SECOND);
        Next();
    }

    // Names the output on the settings page that is shown.
    void ChooseOutput(const std::string& strPath)
    {
        m_files.answers = {strPath};
        Click(m_dlg.m_nPage == 10 ? static_cast<const CWnd&>(m_dlg.m_pageStillSettings)
                                  : static_cast<const CWnd&>(m_dlg.m_pageAnimSettings),
              IDC_BROWSE);
    }

    // Texts of the message boxes shown so far, and the files opened.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const CRecordingMessageBox::Call& call : m_boxes.calls)
            texts.push_back(call.text.str());
        return texts;
    }
    std::vector<std::string> Opened() const
    {
        std::vector<std::string> paths;
        for (const CString& path : m_shell.opened)
            paths.push_back(path.str());
        return paths;
    }
};
