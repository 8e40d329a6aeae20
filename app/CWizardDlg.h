#pragma once

// The wizard's frame: the three buttons below a dividing line and, above it,
// the eight pages, of which one is shown at a time. The frame knows which
// page follows which, reads a page before the wizard leaves it, drives the
// renders and tells the user what went wrong.

// Local
#include "app/CStopSignals.h"
#include "engine/EngineError.h"
#include "pages/CAnimSettingsPage.h"
#include "pages/CDialogCompressionChooser.h"
#include "pages/CDonePage.h"
#include "pages/CPictureCache.h"
#include "pages/CPreviewWnd.h"
#include "pages/CProgressPage.h"
#include "pages/CSourcePage.h"
#include "pages/CStillSettingsPage.h"
#include "pages/CWelcomePage.h"
#include "platform/ui/CTemplateDialog.h"
#include "res/resource.h"

class CWizardDlg : public CTemplateDialog {
public:
    // The pages in the order of the roads: the animation's, then the still's.
    enum class Page { Welcome, Source, AnimSettings, AnimProgress, AnimDone, StillSettings, StillProgress, StillDone };

    explicit CWizardDlg(QWidget* pParent = nullptr);

    Page m_nPage = Page::Welcome;
    CWelcomePage m_pageWelcome{this};
    CSourcePage m_pageSource{this};
    CAnimSettingsPage m_pageAnimSettings{this};
    CProgressPage m_pageAnimProgress{IDD_ANIM_PROGRESS, this};
    CDonePage m_pageAnimDone{IDD_ANIM_DONE, this};
    CStillSettingsPage m_pageStillSettings{this};
    CProgressPage m_pageStillProgress{IDD_STILL_PROGRESS, this};
    CDonePage m_pageStillDone{IDD_STILL_DONE, this};

    // The "Náhled" window of the settings pages; closed whenever the page
    // changes.
    CPreviewWnd m_wndPreview;

    // The file the last finished render wrote; the finish opens this one.
    QString m_strResultPath;

    // Asks for the animation's codec and quality: the "Komprese videa"
    // dialog, unless a test puts another chooser in its place.
    CDialogCompressionChooser m_compressionDialog;
    ICompressionChooser* m_pCompressionChooser = &m_compressionDialog;

    void OnNext();
    void OnPrev();
    // SIGTERM, SIGHUP or SIGINT: a render stops as after "Ano" to the exit
    // question, dropping its unfinished file, and the wizard ends; outside a
    // render it ends at once. A question, chooser or dialog open then is
    // closed as if cancelled.
    void OnStopSignal();

    // True while a render runs inside OnNext.
    bool IsRendering() const { return m_nPage == Page::AnimProgress || m_nPage == Page::StillProgress; }
    // The page widget of a page.
    CTemplatePage& PageWidget(Page page);

protected:
    // The dialog's OK command never closes the wizard.
    void OnOK() override {}
    // "Konec", Escape and the close box: ask before the program ends.
    void OnCancel() override;

private:
    // Where "Další" leads from the page shown; the settings pages lead to
    // their progress pages, these to their completion pages, and those back
    // to the start.
    Page NextPage() const;
    // Where "Předchozí" leads, or the page itself where it leads nowhere.
    Page PrevPage() const;
    // Shows the page alone, closes the preview and sets every button's state
    // and caption for it.
    void SetPage(Page page);

    // Reads the settings page, then runs its render on the progress page.
    void StartRender();
    void Finish();
    // Tells the user why a render wrote nothing, unless the user stopped it.
    void ShowFailure(const EngineError& error, bool bAnimation);
    // Shows on both settings pages the size an automatic render would make
    // of the source page's pictures, once both are measured.
    void ShowAutomaticSize();

    // Set when the user has said yes to ending the program during a render,
    // which then stops.
    bool m_bQuitRequested = false;

    CStopSignals m_stopSignals{[this] { OnStopSignal(); }};

    // The pictures of the thumbnails and the preview. Declared last, so that
    // it goes first and tells nobody of a load once they are gone.
    CPictureCache m_pictures;
};
