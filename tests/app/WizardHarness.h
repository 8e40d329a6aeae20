#pragma once

// Guards nothing itself: a wizard frame on real widgets with its modal
// services replaced by the recording stand-ins, the compressor chosen without
// a dialog, the user's clicks and typing, and the frame's state in one line.

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// Qt
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QtCore/qtestsupport_core.h>

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
    using Page = CWizardDlg::Page;

    explicit WizardHarness(bool bCancel = false)
    {
        m_compression.m_bCancel = bCancel;
        m_dlg.m_pCompressionChooser = &m_compression;
        m_dlg.show();
    }

    // The services outlive the frame: they are made before it and go after it.
    CRecordingMessageBox m_boxes;
    CScriptedFileChooser m_files;
    CRecordingShell m_shell;
    CFixedCompressionChooser m_compression;
    CWizardDlg m_dlg;

    // A control of a page or of the frame, as the user meets it: its text, a
    // click and typing, which a disabled control ignores.
    template <class P>
    static QAbstractButton* Button(const P& page, int nID) { return qobject_cast<QAbstractButton*>(page.Item(nID)); }
    template <class P>
    static std::string Text(const P& page, int nID)
    {
        QWidget* pItem = page.Item(nID);
        const QString strText = qobject_cast<QLineEdit*>(pItem) ? static_cast<QLineEdit*>(pItem)->text()
                                : qobject_cast<QLabel*>(pItem)  ? static_cast<QLabel*>(pItem)->text()
                                                                : Button(page, nID)->text();
        return strText.toStdString();
    }
    template <class P>
    static void Click(const P& page, int nID) { Button(page, nID)->click(); }
    static void Type(const CTemplatePage& page, int nID, const std::string& strText)
    {
        if (auto* pEdit = qobject_cast<QLineEdit*>(page.Item(nID)))  // the still's page has no frame count
            pEdit->setText(QString::fromStdString(strText));
    }
    // The texts of several controls, joined by "|".
    static std::string Texts(const CTemplatePage& page, std::initializer_list<int> ids)
    {
        std::string strTexts;
        for (const int nID : ids)
            (strTexts += '|') += Text(page, nID);
        return strTexts.substr(1);
    }

    void Next() { Click(m_dlg, IDC_NEXT); }
    void Prev() { Click(m_dlg, IDC_PREV); }

    // The frame as the user sees it, e.g. "AnimSettings Další <>x": the page,
    // "(not alone)" unless its page is the only one shown, the text of the
    // forward button, then Předchozí, Další and Konec as "<", ">" and "x"
    // where they take a click, "-" where not, and the end result once there
    // is one.
    std::string State()
    {
        static const char* const kNames[] = {"Welcome",  "Source",        "AnimSettings",  "AnimProgress",
                                             "AnimDone", "StillSettings", "StillProgress", "StillDone"};
        int nShown = 0;
        for (int i = 0; i < 8; ++i)
            nShown += !m_dlg.PageWidget(static_cast<Page>(i)).isHidden();
        const bool bAlone = nShown == 1 && !m_dlg.PageWidget(m_dlg.m_nPage).isHidden();
        std::string strState = kNames[static_cast<int>(m_dlg.m_nPage)] + std::string(bAlone ? " " : " (not alone) ") +
                               Text(m_dlg, IDC_NEXT) + " ";
        for (const auto& [nID, cMark] : {std::pair{IDC_PREV, '<'}, {IDC_NEXT, '>'}, {IDCANCEL, 'x'}})
            strState += m_dlg.Item(nID)->isEnabled() ? cMark : '-';
        return strState + (m_dlg.EndResult() == -1 ? "" : " end " + std::to_string(m_dlg.EndResult()));
    }

    // Picks both pictures and the mode on the source page, coming from the
    // welcome page; unless told not to, waits until both pictures are loaded
    // or refused, so that "Další" meets them measured.
    void ChooseSources(const std::string& strFirst, const std::string& strSecond, int nMode, bool bWait = true)
    {
        Next();
        m_files.answers = {QString::fromStdString(strFirst), QString::fromStdString(strSecond)};
        for (const int nID : {IDC_BROWSE, IDC_BROWSE_SECOND, nMode == 0 ? IDC_RADIO_FIRST : IDC_RADIO_SECOND})
            Click(m_dlg.m_pageSource, nID);
        if (bWait)
            static_cast<void>(QTest::qWaitFor([this] {
                return Texts(m_dlg.m_pageSource, {IDC_FIRST_REASON, IDC_SECOND_REASON}).find("Načítám") == std::string::npos;
            }));
        Next();
    }

    // The settings page of the road taken, and the output named on it.
    const CSettingsPage& Settings() const
    {
        return m_dlg.m_nPage == Page::StillSettings ? static_cast<const CSettingsPage&>(m_dlg.m_pageStillSettings)
                                                    : m_dlg.m_pageAnimSettings;
    }
    void ChooseOutput(const std::string& strPath)
    {
        m_files.answers = {QString::fromStdString(strPath)};
        Click(Settings(), IDC_BROWSE);
    }
};
