#pragma once

// Guards nothing itself: a wizard frame on real widgets with its modal
// services replaced by the recording stand-ins, the compressor chosen without
// a dialog, the user's clicks and typing, and the frame's state in one line.

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Qt
#include <QAbstractButton>
#include <QLineEdit>
#include <QWidget>

// Local
#include "app/CWizardDlg.h"
#include "tests/platform/support/TestServices.h"

// Answers the compression question without a dialog (uncompressed frames,
// so that the wizard's file can equal the batch tool's raw one), or cancels
// it, and counts the questions.
struct CFixedCompressionChooser : ICompressionChooser {
    std::optional<CompressionChoice> Choose(QWidget*, const std::vector<const VideoCodec*>& offered) override
    {
        ++m_nCalls;
        m_offered = offered;
        return m_bCancel ? std::nullopt : std::optional(m_choice);
    }

    CompressionChoice m_choice{FindVideoCodec("raw"), 0};
    bool m_bCancel = false;
    int m_nCalls = 0;
    std::vector<const VideoCodec*> m_offered; // at the last question
};

class WizardHarness {
public:
    explicit WizardHarness(bool bCancel = false)
    {
        m_compression.m_bCancel = bCancel;
        m_dlg.m_pCompressionChooser = &m_compression;
        m_dlg.Create(IDD_WIZARD, nullptr);
    }

    // The services outlive the frame: they are made before it and go after it.
    CRecordingMessageBox m_boxes;
    CScriptedFileChooser m_files;
    CRecordingShell m_shell;
    CFixedCompressionChooser m_compression;
    CWizardDlg m_dlg;

    static QWidget* Control(const CWnd& wnd, int nID) { return wnd.GetDlgItem(nID) ? wnd.GetDlgItem(nID)->GetWidget() : nullptr; }
    static QAbstractButton* Button(const CWnd& wnd, int nID) { return qobject_cast<QAbstractButton*>(Control(wnd, nID)); }
    static std::string Text(const CWnd& wnd, int nID) { return wnd.GetDlgItem(nID) ? wnd.GetDlgItem(nID)->GetWindowText().str() : ""; }

    // Clicks and types as the user would: a disabled control ignores it.
    static void Click(const CWnd& wnd, int nID) { if (QAbstractButton* pButton = Button(wnd, nID)) pButton->click(); }
    static void Type(const CWnd& wnd, int nID, const std::string& strText)
    {
        if (auto* pEdit = qobject_cast<QLineEdit*>(Control(wnd, nID)))
            pEdit->setText(QString::fromStdString(strText));
    }

    // The texts of several controls, joined by "|".
    static std::string Texts(const CWnd& wnd, std::initializer_list<int> ids)
    {
        std::string strTexts;
        for (const int nID : ids)
            (strTexts += '|') += Text(wnd, nID);
        return strTexts.substr(1);
    }

    void Next() { Click(m_dlg, IDC_NEXT); }
    void Prev() { Click(m_dlg, IDC_PREV); }

    // The frame as the user sees it, e.g. "2 Další <>x": the page number,
    // "(not alone)" unless the page it stands for (a progress page during a
    // render) is the only one shown, the text of the forward button, then
    // Zpět, Další and Konec as "<", ">" and "x" where they take a click, "-"
    // where not, and the end result once there is one.
    std::string State() const
    {
        const CWizardDlg& d = m_dlg;
        const CDialog* const pages[] = {&d.m_pageWelcome,       &d.m_pageSource,       &d.m_pageAnimSettings,
                                        &d.m_pageAnimProgress,  &d.m_pageAnimDone,     &d.m_pageStillSettings,
                                        &d.m_pageStillProgress, &d.m_pageStillDone};
        // Where each number leads; the page before a done page is its progress page.
        const std::map<int, int> at = {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {10, 5}, {11, 7}};
        int nShown = 0;  // A bit for each page shown.
        for (int i = 0; i < 8; ++i)
            nShown |= !pages[i]->GetWidget()->isHidden() << i;
        const bool bAlone = at.contains(d.m_nPage) && nShown == 1 << (at.at(d.m_nPage) - d.IsRendering());
        std::string strState = std::to_string(d.m_nPage) + (bAlone ? " " : " (not alone) ") + Text(d, IDC_NEXT) + " ";
        for (const auto& [nID, cMark] : {std::pair{IDC_PREV, '<'}, {IDC_NEXT, '>'}, {IDCANCEL, 'x'}})
            strState += Control(d, nID) && Control(d, nID)->isEnabled() ? cMark : '-';
        return strState + (d.GetEndResult() == -1 ? "" : " end " + std::to_string(d.GetEndResult()));
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

    // The settings page of the road taken, and the output named on it.
    const CDialog& Settings() const
    {
        return m_dlg.m_nPage == 10 ? static_cast<const CDialog&>(m_dlg.m_pageStillSettings) : m_dlg.m_pageAnimSettings;
    }
    void ChooseOutput(const std::string& strPath) { m_files.answers = {strPath}; Click(Settings(), IDC_BROWSE); }

    // Each message box shown, as "caption, type: text", and the files opened.
    static std::string Box(const char* pszCaption, UINT nType, const std::string& strText)
    {
        return std::string(pszCaption) + ", " + std::to_string(nType) + ": " + strText;
    }
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> boxes;
        for (const CRecordingMessageBox::Call& call : m_boxes.calls)
            boxes.push_back(Box(call.caption, call.nType, call.text.str()));
        return boxes;
    }
    std::vector<std::string> Opened() const { return {m_shell.opened.begin(), m_shell.opened.end()}; }
};
